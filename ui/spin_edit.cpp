// TRxSpinEdit, the account number box.
#include "ui/spin_edit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>

#include "ui/qt_text.h"
#include "ui/spin_buttons.h"

TRxSpinEdit::TRxSpinEdit(QWidget* parent)
    : QLineEdit(QStringLiteral("0"), parent), beep(QApplication::beep), upDown_(new TRxUpDown(this)) {
    connect(upDown_, &TRxUpDown::moved, this, &TRxSpinEdit::ButtonMoved);
    // Keep the text clear of the buttons.
    setTextMargins(0, 0, upDown_->PreferredWidth(), 0);
}

double TRxSpinEdit::Value() const { return SpinReadValue(fromQt(text()), range_); }

void TRxSpinEdit::SetValue(double value) { setText(toQt(SpinValueText(value, range_))); }

void TRxSpinEdit::Step(bool up) {
    if (isReadOnly()) {
        beep();
        return;
    }
    const QString before = text();
    {
        QSignalBlocker quiet(this);
        setText(toQt(SpinStepText(fromQt(before), range_, up ? Increment : -Increment)));
    }
    if (text().compare(before, Qt::CaseInsensitive) != 0) {
        setModified(true);
        emit textChanged(text());
    }
    if (up)
        emit topClick();
    else
        emit bottomClick();
}

void TRxSpinEdit::ButtonMoved(bool up) {
    if ((focusPolicy() & Qt::TabFocus) && isEnabled() && isVisible()) setFocus(Qt::OtherFocusReason);
    Step(up);
}

void TRxSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (ArrowKeys && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        Step(event->key() == Qt::Key_Up);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) {
        if (CanEdit()) QLineEdit::keyPressEvent(event);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();  // a dialog key for the window; nothing else to do
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        event->ignore();  // the window's to handle
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty()) {
        switch (SpinFilterChar(typed.at(0).unicode(), EditorEnabled)) {
            case SpinKey::Accept:
                break;
            case SpinKey::DropWithBeep:
                beep();
                [[fallthrough]];
            case SpinKey::Drop:
                event->accept();
                return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TRxSpinEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (AutoSelect && event->reason() != Qt::MouseFocusReason) selectAll();
}

void TRxSpinEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (SpinOutsideRange(fromQt(text()), range_)) SetValue(Value());
}

void TRxSpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    const int width = upDown_->PreferredWidth();
    const int x = layoutDirection() == Qt::RightToLeft ? 0 : this->width() - width;
    upDown_->setGeometry(x, 0, width, height());
    if (layoutDirection() == Qt::RightToLeft)
        setTextMargins(width, 0, 0, 0);
    else
        setTextMargins(0, 0, width, 0);
}

void TRxSpinEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions())
        if (action->objectName() == QLatin1String("edit-cut") ||
            action->objectName() == QLatin1String("edit-paste"))
            action->setEnabled(action->isEnabled() && CanEdit());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
