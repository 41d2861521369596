// TForm1, the main window: all accounts at once, and the tray.
#include <QApplication>

#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "ui/watch_tray.h"

// Actions > En-têtes de tous les comptes.
void TForm1::Touslescomptes1Click() {
    Action([this] { screener_->ScanAllAccounts(); });
}

void TForm1::Quit() {
    // Kept for a close that waits for a running check to end.
    quitting_ = true;
    close();
    // Hidden in the tray, the window got no close of its own to end the program.
    if (!isVisible()) QApplication::quit();
}

void TForm1::CheckEnded() {
    // A close asked for during a periodic check goes on once it has unwound.
    if (closeWaiting_ && !screener_->Busy()) {
        closeWaiting_ = false;
        close();
    }
}

bool TForm1::StayInTray() {
    if (quitting_ || !tray_->KeepsRunning()) return false;
    SaveState();
    hide();
    screener_->HiddenInTray();
    return true;
}

void TForm1::ShowFromTray() {
    showNormal();
    raise();
    activateWindow();
}
