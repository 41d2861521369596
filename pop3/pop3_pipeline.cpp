#include "pop3/pop3_pipeline.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"

std::string Pop3CommandLine(const Pop3Step& step) {
    static const char* const kVerbs[] = {"TOP", "LIST", "DELE", "RETR", "UIDL", "CAPA", "STAT"};
    std::string line = kVerbs[step.kind];
    if (step.n > 0) line += " " + IntToStr(step.n);
    if (step.kind == Pop3Step::Top) line += " 0";
    return line + "\r\n";
}

Pop3Pipeline::Pop3Pipeline(Writer write, std::size_t maxCommands, std::size_t maxBytes)
    : write_(std::move(write)),
      maxCommands_(std::max<std::size_t>(1, maxCommands)),
      maxBytes_(std::max<std::size_t>(1, maxBytes)) {}

bool Pop3Pipeline::Room(const Pop3Step& step) const {
    if (due_.empty()) return true;
    return due_.size() < maxCommands_ && dueBytes_ + Pop3CommandLine(step).size() <= maxBytes_;
}

bool Pop3Pipeline::HalfFree() const { return due_.size() <= maxCommands_ / 2 && dueBytes_ <= maxBytes_ / 2; }

void Pop3Pipeline::Push(const Pop3Step& step) {
    std::string line = Pop3CommandLine(step);
    dueBytes_ += line.size();
    due_.push_back({step, line.size(), false});
    unsent_ += line;
    ++unsentCount_;
}

void Pop3Pipeline::Flush() {
    if (unsentCount_ == 0) return;
    if (due_.size() > 1)
        for (auto it = due_.end() - static_cast<std::ptrdiff_t>(unsentCount_); it != due_.end(); ++it)
            it->together = true;
    unsentCount_ = 0;
    write_(std::exchange(unsent_, std::string()));
}

Pop3Pipeline::Entry Pop3Pipeline::NextAnswer() {
    Flush();
    Entry entry = due_.front();
    due_.pop_front();
    dueBytes_ -= entry.length;
    return entry;
}

void Pop3Pipeline::DropDue() {
    due_.clear();
    dueBytes_ = 0;
    unsent_.clear();
    unsentCount_ = 0;
}
