#pragma once
// Cutting a fuzz input into lines, as the line reader hands them over.
#include <string_view>

namespace fuzz {

// The text of `input` up to its first LF (all of it without one); `input`
// keeps what follows the LF.
inline std::string_view TakeLine(std::string_view& input) {
    std::size_t lf = input.find('\n');
    std::string_view line = input.substr(0, lf);
    input.remove_prefix(lf == std::string_view::npos ? input.size() : lf + 1);
    return line;
}

}  // namespace fuzz
