#include "mime/text_budget.h"

namespace {
// A line costs its line end too: an endless run of empty lines is bounded.
constexpr std::size_t kLineEnd = 2;
}  // namespace

bool TextBudget::Fits(std::size_t size) {
    if (!cut_ && (size + kLineEnd > bytesLeft_ || linesLeft_ == 0)) cut_ = true;
    return !cut_;
}

bool TextBudget::Take(std::size_t size) {
    if (!Fits(size)) return false;
    bytesLeft_ -= size + kLineEnd;
    --linesLeft_;
    return true;
}
