// TRxSpinEdit, the account number box.
#pragma once
// A one-line box holding a whole number, with up-down buttons at its right
// edge. The rules (reading, clamping, steps, typed characters) are the
// plain ones of app/spin_edit.h; this is their box.
#include <QLineEdit>
#include <functional>

#include "app/spin_edit.h"

class TRxUpDown;

class TRxSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TRxSpinEdit(QWidget* parent = nullptr);

    // Read from the text, never clamped; writing clamps into the range.
    double Value() const;
    void SetValue(double value);
    double MinValue() const { return range_.minValue; }
    double MaxValue() const { return range_.maxValue; }
    void SetRange(double minValue, double maxValue) { range_ = {minValue, maxValue}; }

    double Increment = 1;
    bool EditorEnabled = true;
    bool ArrowKeys = true;
    bool AutoSelect = true;
    // The platform's default beep; tests count it.
    std::function<void()> beep;

    // One step up or down: clamped, a change notification when the text
    // changed, then topClick / bottomClick, also at a limit of the range.
    void UpClick() { Step(true); }
    void DownClick() { Step(false); }
    TRxUpDown* UpDown() const { return upDown_; }

signals:
    void topClick();
    void bottomClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Step(bool up);
    void ButtonMoved(bool up);
    bool CanEdit() const { return EditorEnabled && !isReadOnly(); }

    SpinRange range_;
    TRxUpDown* upDown_;
};
