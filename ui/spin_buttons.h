// TRxUpDown, the spin edit's up-down buttons.
#pragma once
// The up-down buttons at the right edge of the spin edit: two halves that
// report a move upward or downward, repeating while the mouse button is held.
#include <QWidget>

class QToolButton;

class TRxUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TRxUpDown(QWidget* parent);
    // As wide as the style's vertical scroll bar, at most 15 pixels.
    int PreferredWidth() const;
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void moved(bool upward);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};
