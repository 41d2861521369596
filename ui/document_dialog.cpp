#include "ui/document_dialog.h"

#include <QKeyEvent>

bool DocumentDialog::event(QEvent* event) {
    // Claimed before the shortcuts: the key then reaches the dialog, which closes.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QDialog::event(event);
}
