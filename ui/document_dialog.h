// DocumentDialog, the base of the help, journal and Corbeille windows.
#pragma once
// A window that shows a document and that Esc closes, though the main window
// uses Esc for "Arrêter": here the key is the window's own.
#include <QDialog>

class DocumentDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

protected:
    bool event(QEvent* event) override;
};
