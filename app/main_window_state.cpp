// Screener, the main window's logic: grid order and window state.
// The screener's calls about the window itself: the grid's order and the
// window's place between runs.
#include "app/grid_order.h"
#include "app/main_window.h"

std::vector<int> Screener::GridOrder(int column, bool descending) const {
    return SortedMessages(accountRows_.empty() ? Record() : AllAccountRows(accountRows_), column, descending);
}

std::optional<WindowState> Screener::SavedWindowState() const { return ReadWindowState(paths_.settings); }

Outcome Screener::SaveWindowState(const WindowState& state) {
    return RunShowingErrors(view_.dialogs, [&] { WriteWindowState(paths_.settings, state); });
}
