#include "ui/grid_table.h"

#include <QHeaderView>
#include <QScrollBar>

#include "platform/control_characters.h"
#include "ui/qt_text.h"

namespace {

QTableWidgetItem* NewCell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

GridTable::GridTable(QWidget* parent) : QTableWidget(0, 5, parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);  // a long cell is cut at its edge
    setCornerButtonEnabled(false);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(8);
    for (int column = 1; column < 6; ++column) {
        setHorizontalHeaderItem(column - 1, NewCell(QString()));
        setColumnWidth(column - 1, kWidths[column]);
    }
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(kWidths[0]);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setFixedHeight(fontMetrics().height() + 8);
    // The view follows the thumb while it is dragged.
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    SetRowCount(1000);
    setCurrentCell(0, 0);
}

void GridTable::SetRowCount(int rows) {
    const int old = rowCount();
    setRowCount(std::max(rows, 1) - 1);
    // Without an item the header would show its own row numbers.
    for (int row = old; row < rowCount(); ++row) setVerticalHeaderItem(row, NewCell(QString()));
}

std::string GridTable::Cell(int column, int row) const {
    if (column < 0 || column > 5 || row < 0 || row >= RowCount()) return {};
    const QTableWidgetItem* item = nullptr;
    if (row == 0 && column == 0) return fromQt(corner_);
    if (row == 0)
        item = horizontalHeaderItem(column - 1);
    else if (column == 0)
        item = verticalHeaderItem(row - 1);
    else
        item = this->item(row - 1, column - 1);
    return item ? std::string(UnisolatedText(fromQt(item->text()))) : std::string();
}

void GridTable::SetCell(int column, int row, std::string_view text) {
    if (column < 0 || column > 5 || row < 0 || row >= RowCount()) return;
    const QString value = toQt(IsolatedText(text));
    if (row == 0 && column == 0) {
        corner_ = value;
        return;
    }
    QTableWidgetItem* item = row == 0      ? horizontalHeaderItem(column - 1)
                             : column == 0 ? verticalHeaderItem(row - 1)
                                           : this->item(row - 1, column - 1);
    if (item) {
        if (item->text() != value) item->setText(value);
        return;
    }
    if (value.isEmpty()) return;  // no cell yet reads as empty already
    if (row == 0)
        setHorizontalHeaderItem(column - 1, NewCell(value));
    else if (column == 0)
        setVerticalHeaderItem(row - 1, NewCell(value));
    else
        setItem(row - 1, column - 1, NewCell(value));
}

void GridTable::SetRow(int row, const GridRow& cells) {
    for (int column = 0; column < kGridColumns; ++column) SetCell(column, row, cells[column]);
}

void GridTable::ClearRows(int rows) {
    // Dropping every row removes its cells and its number in one go.
    setRowCount(0);
    SetRowCount(rows);
}

int GridTable::CurrentRow() const {
    const int row = currentRow();
    return row < 0 ? 1 : row + 1;
}
