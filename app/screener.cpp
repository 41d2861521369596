#include "app/screener.h"

#include "app/texts.h"

Screener::Screener(AppPaths paths, MainWindowView view)
    : paths_(std::move(paths)), view_(view), lists_(paths_), actions_(client_, message_, lists_, view_) {}

void Screener::FormCreate() {
    for (int column = 0; column < 6; ++column) view_.grid.SetCell(column, 0, Ansi(texts::kHeadings[column]));
}

void Screener::FormShow(int selector) {
    LoadAccount(selector);
    lists_.LoadBoth();
}

void Screener::LoadAccount(int slot) {
    Account account = ReadAccount(TIniFile(paths_.settings), slot);
    actions_.SetAccount(account);
    view_.caption.SetCaption(AccountCaption(account));
}

void Screener::EraseAllAccounts() {
    TIniFile ini(paths_.settings);
    ::EraseAllAccounts(ini);
}

void Screener::AddCurrentSender(ListKind kind) {
    lists_.AddSender(kind, view_.grid.Cell(2, view_.grid.CurrentRow()));
}
