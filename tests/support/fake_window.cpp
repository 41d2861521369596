#include "support/fake_window.h"

std::string FakeGrid::Row(int row) const {
    std::string joined;
    for (int column = 0; column < 6; ++column) joined += (column ? "|" : "") + Cell(column, row);
    return joined;
}

std::vector<std::string> FakeGrid::FilledRows() const {
    int last = 0;
    for (int row = 1; row < RowCount(); ++row)
        for (int column = 0; column < kGridColumns; ++column)
            if (!Cell(column, row).empty()) last = row;
    std::vector<std::string> rows;
    for (int row = 1; row <= last; ++row) rows.push_back(Row(row));
    return rows;
}

void FakeStatus::SetPanelText(int index, std::string_view text) {
    if (index < 0 || index > 1) return;
    panel[index] = text;
    if (index == 0) history0.emplace_back(text);
}

bool FakeDialogs::Confirm(std::string_view question, const std::vector<std::string>& items) {
    shown.push_back("confirm: " + std::string(question));
    listed = items;
    if (duringConfirm) duringConfirm();
    if (answers.empty()) return false;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeListBox::DeleteItem(int index) {
    if (index >= 0 && index < static_cast<int>(items.size())) items.erase(items.begin() + index);
    selected = -1;
}
