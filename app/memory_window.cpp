#include "app/memory_window.h"

std::string MemoryGrid::Cell(int column, int row) const {
    if (!Inside(column, row)) return {};
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void MemoryGrid::SetCell(int column, int row, std::string_view text) {
    if (Inside(column, row)) rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}

void MemoryGrid::SetRow(int row, const GridRow& cells) {
    if (Inside(0, row)) rows_[static_cast<std::size_t>(row)] = cells;
}

void MemoryGrid::SetRowFault(int row, std::string_view cause) {
    if (Inside(0, row)) faults_[row] = cause;
}

void MemoryGrid::SetRowAccount(int row, std::string_view account) {
    if (Inside(0, row)) accounts_[row] = account;
}

void MemoryGrid::SetRowNote(int row, std::string_view note) {
    if (Inside(0, row)) notes_[row] = note;
}

namespace {
std::string Of(const std::map<int, std::string>& marks, int row) {
    const auto found = marks.find(row);
    return found == marks.end() ? std::string() : found->second;
}
}  // namespace

std::string MemoryGrid::Fault(int row) const { return Of(faults_, row); }

std::string MemoryGrid::Note(int row) const { return Of(notes_, row); }

std::string MemoryGrid::Account(int row) const { return Of(accounts_, row); }

void MemoryGrid::ClearRows(int rows) {
    faults_.clear();
    notes_.clear();
    accounts_.clear();
    GridRow headings = rows_.front();
    rows_.assign(static_cast<std::size_t>(rows < 1 ? 1 : rows), GridRow());
    rows_.front() = std::move(headings);
}
