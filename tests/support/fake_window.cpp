#include "support/fake_window.h"

void FakeGrid::SetRowCount(int rows) {
    rows_ = rows;
    std::erase_if(cells_, [rows](const auto& cell) { return cell.first.second >= rows; });
}

std::string FakeGrid::Cell(int column, int row) const {
    auto found = cells_.find({column, row});
    return found == cells_.end() ? std::string() : found->second;
}

void FakeGrid::SetCell(int column, int row, std::string_view text) {
    if (row < 0 || row >= rows_ || column < 0 || column > 5) return;
    if (text.empty())
        cells_.erase({column, row});
    else
        cells_[{column, row}] = text;
}

std::string FakeGrid::Row(int row) const {
    std::string joined;
    for (int column = 0; column < 6; ++column) joined += (column ? "|" : "") + Cell(column, row);
    return joined;
}

std::vector<std::string> FakeGrid::FilledRows() const {
    int last = 0;
    for (const auto& cell : cells_) last = std::max(last, cell.first.second);
    std::vector<std::string> rows;
    for (int row = 1; row <= last; ++row) rows.push_back(Row(row));
    return rows;
}

void FakeStatus::SetPanelText(int index, std::string_view text) {
    if (index < 0 || index > 1) return;
    panel[index] = text;
    if (index == 0) history0.emplace_back(text);
}

bool FakeDialogs::Confirm(std::string_view question) {
    shown.push_back("confirm: " + std::string(question));
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
