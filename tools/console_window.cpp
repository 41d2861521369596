#include "tools/console_window.h"

#include "platform/text.h"

void ConsoleStatus::SetPanelText(int, std::string_view text) { err_ << AnsiToUtf8(text) << '\n'; }

void ConsoleDialogs::Print(std::string_view text) { err_ << AnsiToUtf8(text) << '\n'; }

bool ConsoleDialogs::Confirm(std::string_view question) {
    err_ << AnsiToUtf8(question) << (answer_ ? " Oui" : " Non") << '\n';
    return answer_;
}
