#include "ui/grid_table.h"

#include <QFont>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QToolTip>
#include <numeric>

#include "app/watch_texts.h"
#include "ui/focus_frame.h"
#include "ui/grid_look.h"
#include "ui/qt_text.h"

namespace {

QTableWidgetItem* NewCell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

GridTable::GridTable(QWidget* parent) : QTableWidget(0, kAccountColumn + 1, parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab goes on to the next control; the arrows move through the cells.
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);  // a long cell ends with "…", its tooltip whole
    setCornerButtonEnabled(false);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(8);
    for (int column = 1; column < 6; ++column) setHorizontalHeaderItem(column - 1, NewCell(QString()));
    setHorizontalHeaderItem(kAccountColumn, NewCell(toQt(std::string(watch_texts::kAccountHeading))));
    setColumnHidden(kAccountColumn, true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setHighlightSections(false);
    // The view follows the thumb while it is dragged.
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        // The account column keeps the accounts' order.
        if (section == kAccountColumn) return;
        // The same heading again reverses the order; another one starts
        // from the smallest.
        const bool again = sortedBy_ == section + 1 && sortOrder_ == Qt::AscendingOrder;
        emit sortRequested(section + 1, again ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    FitColumns();
    SetRowCount(1);
    setCurrentCell(0, 0);
}

void GridTable::FitColumns() {
    const QFontMetrics metrics = fontMetrics();
    const QFontMetrics headingMetrics(horizontalHeader()->font());
    for (int column = 1; column < 6; ++column) {
        const QTableWidgetItem* heading = horizontalHeaderItem(column - 1);
        const int text = std::max(metrics.horizontalAdvance(GridLook::WidestValue(column)),
                                  headingMetrics.horizontalAdvance(heading ? heading->text() : QString()));
        // Room for the cell's margins and the heading's sort mark.
        const int wanted = text + 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + headingMetrics.height();
        setColumnWidth(column - 1, std::max(kWidths[column], wanted));
    }
    setColumnWidth(
        kAccountColumn,
        std::max(kWidths[0], headingMetrics.horizontalAdvance(horizontalHeaderItem(kAccountColumn)->text()) +
                                 headingMetrics.height()));
    verticalHeader()->setFixedWidth(
        std::max(kWidths[0], metrics.horizontalAdvance(GridLook::WidestValue(0)) + metrics.height()));
    verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
    horizontalHeader()->setFixedHeight(headingMetrics.height() + 8);
}

bool GridTable::event(QEvent* event) {
    const bool handled = QTableWidget::event(event);
    ShowFocusOnFrame(*this, *event);
    return handled;
}

void GridTable::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) FitColumns();
    if (event->type() == QEvent::PaletteChange)
        for (int row = 1; row < RowCount(); ++row) Tint(row);
}

void GridTable::SetRowCount(int rows) {
    const int old = rowCount();
    setRowCount(std::max(rows, 1) - 1);
    viewOf_.resize(static_cast<std::size_t>(rowCount()));
    rowOf_.resize(static_cast<std::size_t>(rowCount()));
    for (int row = old; row < rowCount(); ++row) {
        viewOf_[static_cast<std::size_t>(row)] = row;
        rowOf_[static_cast<std::size_t>(row)] = row;
        // Without an item the header would show its own row numbers.
        setVerticalHeaderItem(row, NewCell(QString()));
    }
    // The first message of an empty grid becomes the current row.
    if (old == 0 && rowCount() > 0 && currentRow() < 0) setCurrentCell(0, 0);
    if (rows < old + 1) {
        // Fewer rows: the order starts again from the rows left.
        std::iota(viewOf_.begin(), viewOf_.end(), 0);
        std::iota(rowOf_.begin(), rowOf_.end(), 0);
    }
}

int GridTable::ViewRow(int row) const { return viewOf_[static_cast<std::size_t>(row - 1)]; }

QTableWidgetItem* GridTable::ItemAt(int column, int row) const {
    if (row == 0) return horizontalHeaderItem(column - 1);
    if (column == 0) return verticalHeaderItem(ViewRow(row));
    return item(ViewRow(row), column - 1);
}

std::string GridTable::Cell(int column, int row) const {
    if (column < 0 || column > 5 || row < 0 || row >= RowCount()) return {};
    if (row == 0 && column == 0) return fromQt(corner_);
    const QTableWidgetItem* item = ItemAt(column, row);
    return item ? fromQt(item->text()) : std::string();
}

void GridTable::SetCell(int column, int row, std::string_view text) {
    if (column < 0 || column > 5 || row < 0 || row >= RowCount()) return;
    const QString value = toQt(text);
    if (row == 0 && column == 0) {
        corner_ = value;
        return;
    }
    if (QTableWidgetItem* item = ItemAt(column, row)) {
        if (item->text() != value) item->setText(value);
    } else if (!value.isEmpty()) {  // no cell yet reads as empty already
        setItem(ViewRow(row), column - 1, NewCell(value));
    }
    if (row == 0) FitColumns();
    if (row > 0 && column == 5) {
        Tint(row);
        // A mark a screen reader would spell out says what it means.
        if (QTableWidgetItem* status = ItemAt(5, row))
            status->setData(Qt::AccessibleTextRole, GridLook::StatusText(fromQt(value)));
    }
}

void GridTable::SetRow(int row, const GridRow& cells) {
    for (int column = 0; column < kGridColumns; ++column) SetCell(column, row, cells[column]);
}

void GridTable::SetRowFault(int row, std::string_view cause) {
    if (row < 1 || row >= RowCount()) return;
    const QString tip = toQt(cause);
    for (int column = 1; column < kGridColumns; ++column) {
        QTableWidgetItem* cell = item(ViewRow(row), column - 1);
        if (!cell) {
            cell = NewCell(QString());
            setItem(ViewRow(row), column - 1, cell);
        }
        QFont font = cell->font();
        font.setItalic(true);
        cell->setFont(font);
        cell->setToolTip(tip);
    }
}

void GridTable::SetRowNote(int row, std::string_view note) {
    if (row < 1 || row >= RowCount()) return;
    QTableWidgetItem* cell = item(ViewRow(row), 4);
    if (!cell) {
        cell = NewCell(QString());
        setItem(ViewRow(row), 4, cell);
    }
    cell->setToolTip(toQt(note));
    cell->setData(Qt::AccessibleDescriptionRole, toQt(note));
}

void GridTable::Tint(int row) {
    const QBrush brush = GridLook::RowBrush(
        palette(), fromQt(item(ViewRow(row), 4) ? item(ViewRow(row), 4)->text() : QString()));
    for (int column = 0; column <= kAccountColumn; ++column)
        if (QTableWidgetItem* cell = item(ViewRow(row), column)) cell->setBackground(brush);
}

void GridTable::ClearRows(int rows) {
    // Dropping every row removes its cells and its number in one go; the new
    // rows come in server order.
    setRowCount(0);
    SetRowCount(rows);
    setColumnHidden(kAccountColumn, true);
    horizontalHeader()->setSortIndicatorShown(false);
    sortedBy_ = 0;
    // The first row stays the chosen one, as at the start.
    if (rowCount() > 0) setCurrentCell(0, 0);
}

void GridTable::SetRowAccount(int row, std::string_view account) {
    if (row < 1 || row >= RowCount()) return;
    setColumnHidden(kAccountColumn, false);
    setItem(ViewRow(row), kAccountColumn, NewCell(toQt(account)));
    Tint(row);
}

int GridTable::CurrentRow() const {
    const int row = currentRow();
    return row < 0 ? 1 : rowOf_[static_cast<std::size_t>(row)] + 1;
}

void GridTable::ShowInOrder(const std::vector<int>& messages, int column, Qt::SortOrder order) {
    const int rows = rowCount();
    const int current = CurrentRow();
    std::vector<int> sequence;  // grid rows - 1, in their new table order
    std::vector<bool> placed(static_cast<std::size_t>(rows), false);
    for (int message : messages)
        if (message >= 1 && message <= rows && !placed[static_cast<std::size_t>(message - 1)]) {
            sequence.push_back(message - 1);
            placed[static_cast<std::size_t>(message - 1)] = true;
        }
    for (int view = 0; view < rows; ++view) {
        const int row = rowOf_[static_cast<std::size_t>(view)];
        if (!placed[static_cast<std::size_t>(row)]) sequence.push_back(row);
    }
    // Every item leaves its place, then goes to its row's new one.
    std::vector<std::array<QTableWidgetItem*, kAccountColumn + 2>> taken(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        auto& cells = taken[static_cast<std::size_t>(row)];
        const int view = viewOf_[static_cast<std::size_t>(row)];
        cells[0] = takeVerticalHeaderItem(view);
        for (int c = 0; c <= kAccountColumn; ++c) cells[static_cast<std::size_t>(c) + 1] = takeItem(view, c);
    }
    for (int view = 0; view < rows; ++view) {
        const int row = sequence[static_cast<std::size_t>(view)];
        viewOf_[static_cast<std::size_t>(row)] = view;
        rowOf_[static_cast<std::size_t>(view)] = row;
        auto& cells = taken[static_cast<std::size_t>(row)];
        setVerticalHeaderItem(view, cells[0]);
        for (int c = 0; c <= kAccountColumn; ++c)
            if (cells[static_cast<std::size_t>(c) + 1])
                setItem(view, c, cells[static_cast<std::size_t>(c) + 1]);
    }
    sortedBy_ = column;
    sortOrder_ = order;
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column - 1, order);
    if (current >= 1 && current < RowCount())
        setCurrentCell(ViewRow(current), currentColumn() < 0 ? 0 : currentColumn());
}

bool GridTable::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // The whole text of a cell cut at its edge.
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.data().toString();
        const QString cause = index.data(Qt::ToolTipRole).toString();  // an unreadable header's
        if (index.isValid() && !cause.isEmpty())
            QToolTip::showText(help->globalPos(), cause, viewport(), visualRect(index));
        else if (index.isValid() && fontMetrics().horizontalAdvance(text) + 6 > visualRect(index).width())
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QTableWidget::viewportEvent(event);
}

void GridTable::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        emit rowActivated();
        return;
    }
    QTableWidget::keyPressEvent(event);
}
