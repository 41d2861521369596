#include "tools/console_window.h"

#include <unistd.h>

#include <iostream>
#include <utility>

#include "platform/text.h"

std::string ConsoleGrid::Cell(int column, int row) const {
    if (row < 0 || row >= RowCount() || column < 0 || column > 5) return {};
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void ConsoleGrid::SetCell(int column, int row, std::string_view text) {
    if (row < 0 || row >= RowCount() || column < 0 || column > 5) return;
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}

std::vector<std::string> ConsoleGrid::FilledRowsUtf8() const {
    std::vector<std::string> lines;
    for (std::size_t row = 1; row < rows_.size(); ++row) {
        std::string line;
        bool filled = false;
        for (std::size_t column = 0; column < 6; ++column) {
            filled = filled || !rows_[row][column].empty();
            line += (column ? "\t" : "") + AnsiToUtf8(rows_[row][column]);
        }
        if (filled) lines.push_back(std::move(line));
    }
    return lines;
}

ConsoleStatus::ConsoleStatus(std::ostream& err)
    : showProgress(&err == &std::cerr && isatty(STDERR_FILENO) == 1), err_(err) {}

void ConsoleStatus::SetPanelText(int panel, std::string_view text) {
    if (panel == 0 && !lastStatus_.empty() && text.starts_with(lastStatus_ + " ")) {
        if (!showProgress) return;
        err_ << '\r' << AnsiToUtf8(text) << std::flush;
        progressShown_ = true;
        return;
    }
    if (std::exchange(progressShown_, false)) err_ << '\n';
    if (panel == 0) lastStatus_ = text;
    err_ << AnsiToUtf8(text) << '\n';
}

void ConsoleDialogs::Message(std::string_view text) {
    failed = true;
    err_ << AnsiToUtf8(text) << '\n';
}

bool ConsoleDialogs::Confirm(std::string_view question) {
    err_ << AnsiToUtf8(question) << (answer_ ? " Oui" : " Non") << '\n';
    return answer_;
}

void ConsoleDialogs::Error(std::string_view text) {
    failed = true;
    err_ << AnsiToUtf8(text) << '\n';
    std::string cause = underlying ? Trim(underlying()) : std::string();
    if (!cause.empty()) err_ << AnsiToUtf8(cause) << '\n';
}

void ConsoleDialogs::Warning(std::string_view text) { err_ << AnsiToUtf8(text) << '\n'; }
