#include "ui/fixed_dialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

FixedDialog::FixedDialog(const QString& caption, QSize client, QtDialogs& dialogs)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      dialogs_(dialogs) {
    setWindowTitle(caption);
    setFixedSize(client);
    setModal(true);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
}

void FixedDialog::Execute() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
}

void FixedDialog::keyPressEvent(QKeyEvent* event) {
    if (escapeCloses_ && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    // No default or cancel button: Enter and Escape press nothing.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
