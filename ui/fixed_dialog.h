#pragma once
// A dialog of fixed size with a close box only, shown modally centred on the
// screen. Escape does not close it unless the dialog says so: else only its
// own buttons and the close box do.
#include <QDialog>
#include <functional>

class QtDialogs;

class FixedDialog : public QDialog {
    Q_OBJECT
public:
    FixedDialog(const QString& caption, QSize client, QtDialogs& dialogs);
    // Shows the dialog modally, centred on the screen; returns when it closes.
    void Execute();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Escape closes the dialog (the about box and the lists).
    void CloseOnEscape() { escapeCloses_ = true; }

    QtDialogs& dialogs_;

private:
    bool escapeCloses_ = false;
};
