// TForm1, the main window: state between runs.
// The main window's place, columns and account between runs.
#include <QHeaderView>

#include "ui/grid_table.h"
#include "ui/main_window.h"
#include "ui/spin_edit.h"

void TForm1::RestoreState() {
    const std::optional<WindowState> state = screener_->SavedWindowState();
    if (!state) return;
    resize(QSize(state->width, state->height).expandedTo(minimumSize()));
    move(state->left, state->top);
    QHeaderView* header = StringGrid1->horizontalHeader();
    for (int visual = 0; visual < static_cast<int>(state->columnOrder.size()); ++visual)
        header->moveSection(header->visualIndex(state->columnOrder[static_cast<std::size_t>(visual)]),
                            visual);
    for (int column = 0; column < static_cast<int>(state->columnWidths.size()); ++column)
        header->resizeSection(column, state->columnWidths[static_cast<std::size_t>(column)]);
    RxSpinEdit1->SetValue(state->account);
}

void TForm1::SaveState() {
    WindowState state;
    state.left = pos().x();
    state.top = pos().y();
    state.width = width();
    state.height = height();
    const QHeaderView* header = StringGrid1->horizontalHeader();
    // The account column comes and goes with the all-accounts scan: not kept.
    for (int visual = 0; visual < header->count(); ++visual)
        if (header->logicalIndex(visual) != GridTable::kAccountColumn)
            state.columnOrder.push_back(header->logicalIndex(visual));
    for (int column = 0; column < GridTable::kAccountColumn; ++column)
        state.columnWidths.push_back(header->sectionSize(column));
    state.account = static_cast<int>(RxSpinEdit1->Value());
    screener_->SaveWindowState(state);
}
