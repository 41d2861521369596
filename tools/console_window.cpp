#include "tools/console_window.h"

#include <unistd.h>

#include <iostream>
#include <utility>

#include "tools/console_text.h"

ConsoleStatus::ConsoleStatus(std::ostream& err)
    : showProgress(&err == &std::cerr && isatty(STDERR_FILENO) == 1), err_(err) {}

void ConsoleStatus::SetPanelText(int panel, std::string_view text) {
    if (panel == 0 && !lastStatus_.empty() && text.starts_with(lastStatus_ + " ")) {
        if (!showProgress) return;
        err_ << '\r' << ConsoleText(text) << std::flush;
        progressShown_ = true;
        return;
    }
    if (std::exchange(progressShown_, false)) err_ << '\n';
    if (panel == 0) lastStatus_ = text;
    err_ << ConsoleText(text) << '\n';
}

void ConsoleStatus::CommandSent(std::string_view line) {
    if (std::exchange(progressShown_, false)) err_ << '\n';
    err_ << "> " << ConsoleText(line) << '\n';
}

void ConsoleDialogs::Print(std::string_view text) { err_ << ConsoleText(text) << '\n'; }

bool ConsoleDialogs::Confirm(std::string_view question, const std::vector<std::string>&) {
    err_ << ConsoleText(question) << (answer_ ? " Oui" : " Non") << '\n';
    return answer_;
}
