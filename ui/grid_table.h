#pragma once
// The header grid. Its row 0 (the headings) is the horizontal header and its
// column 0 (the message numbers) the vertical header, so both stay in place
// while the cells scroll; columns 1 to 5 are the table's columns 0 to 4.
// Cells are reached by what a column holds (its logical index), so a column
// the user dragged elsewhere keeps its heading over its cells.
#include <QTableWidget>

#include "app/window.h"

class GridTable : public QTableWidget, public HeaderGrid {
    Q_OBJECT
public:
    explicit GridTable(QWidget* parent);

    int RowCount() const override { return rowCount() + 1; }
    void SetRowCount(int rows) override;
    std::string Cell(int column, int row) const override;
    void SetCell(int column, int row, std::string_view text) override;
    void SetRow(int row, const GridRow& cells) override;
    void SetRowFault(int row, std::string_view cause) override;
    void ClearRows(int rows) override;
    int CurrentRow() const override;

    static constexpr int kWidths[6] = {30, 92, 185, 245, 44, 34};

private:
    QString corner_;
};
