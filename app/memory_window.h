#pragma once
// The grid and the preview pane kept in memory, for a caller without a
// screen (the command line) and for tests.
#include <map>
#include <string>
#include <vector>

#include "app/window.h"

class MemoryGrid : public HeaderGrid {
public:
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    void SetRowCount(int rows) override { rows_.resize(static_cast<std::size_t>(rows < 1 ? 1 : rows)); }
    std::string Cell(int column, int row) const override;
    void SetCell(int column, int row, std::string_view text) override;
    void SetRow(int row, const GridRow& cells) override;
    void SetRowFault(int row, std::string_view cause) override;
    void SetRowNote(int row, std::string_view note) override;
    void ClearRows(int rows) override;
    void SetRowAccount(int row, std::string_view account) override;
    int CurrentRow() const override { return current; }
    // The cause SetRowFault gave the row; empty for an unmarked one.
    std::string Fault(int row) const;
    // The note SetRowNote gave the row; empty for none.
    std::string Note(int row) const;
    // The account SetRowAccount gave the row; empty for none.
    std::string Account(int row) const;

    int current = 1;

private:
    bool Inside(int column, int row) const {
        return row >= 0 && row < RowCount() && column >= 0 && column < kGridColumns;
    }
    std::vector<GridRow> rows_ = std::vector<GridRow>(1000);
    std::map<int, std::string> faults_;
    std::map<int, std::string> notes_;
    std::map<int, std::string> accounts_;
};

class MemoryPreview : public PreviewPane {
public:
    void Clear() override { lines.clear(); }
    void AppendLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> Lines() const override { return lines; }
    TextFont Font() const override { return font; }

    std::vector<std::string> lines;
    TextFont font{"MS Sans Serif", 8};
};
