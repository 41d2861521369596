#pragma once
// The header grid. Its row 0 (the headings) is the horizontal header and its
// column 0 (the message numbers) the vertical header, so both stay in place
// while the cells scroll; columns 1 to 5 are the table's columns 0 to 4.
// Cells are reached by what a column holds (its logical index), so a column
// the user dragged elsewhere keeps its heading over its cells, and rows by
// message, so a sorted grid still answers for the message a row shows.
#include <QTableWidget>
#include <vector>

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
    // The status cell's tooltip and accessible description.
    void SetRowNote(int row, std::string_view note) override;
    void ClearRows(int rows) override;
    // Shows the account column, hidden again by ClearRows.
    void SetRowAccount(int row, std::string_view account) override;
    // The message of the row the user selected.
    int CurrentRow() const override;

    // Shows rows `messages` (grid rows 1..) first, in that order, the others
    // after them in their own order; `column` gets the sort mark.
    void ShowInOrder(const std::vector<int>& messages, int column, Qt::SortOrder order);
    // The least width of each grid column 0 to 5 at the minimum the layout
    // asks, widened to what its heading and longest expected value need.
    static constexpr int kWidths[6] = {30, 92, 185, 245, 44, 34};
    // The table column of the all-accounts scan's account, after the five
    // of the grid's columns 1 to 5.
    static constexpr int kAccountColumn = 5;

signals:
    // A heading was clicked: sort by grid column `column` (1 to 5).
    void sortRequested(int column, Qt::SortOrder order);
    // Enter on a row.
    void rowActivated();

protected:
    // The frame in the highlight colour while the grid has the focus.
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTableWidgetItem* ItemAt(int column, int row) const;
    void FitColumns();
    void Tint(int row);
    int ViewRow(int row) const;

    QString corner_;
    int sortedBy_ = 0;  // the grid column sorted by, 0 for none
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    // Table row of each grid row 1.. (identity until sorted), and back.
    std::vector<int> viewOf_, rowOf_;
};
