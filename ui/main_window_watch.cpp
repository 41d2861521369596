// TForm1, the main window: all accounts at once, and the tray.
#include <QApplication>

#include "app/watch_settings.h"
#include "app/watch_texts.h"
#include "platform/ini_file.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "ui/watch_tray.h"

// Actions > En-têtes de tous les comptes.
void TForm1::Touslescomptes1Click() {
    Action([this] { screener_->ScanAllAccounts(); });
}

void TForm1::Quit() {
    quitting_ = true;
    close();
    quitting_ = false;
    // Hidden in the tray, the window got no close of its own to end the program.
    if (!isVisible()) QApplication::quit();
}

bool TForm1::StayInTray() {
    if (quitting_ || !tray_->KeepsRunning()) return false;
    SaveState();
    hide();
    TIniFile ini(paths_.settings);
    if (TakeTrayNote(ini)) dialogs_.Message(std::string(watch_texts::kTrayNote));
    return true;
}

void TForm1::ShowFromTray() {
    showNormal();
    raise();
    activateWindow();
}
