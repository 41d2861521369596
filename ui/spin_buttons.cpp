// TRxUpDown, the spin edit's up-down buttons.
#include "ui/spin_buttons.h"

#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace {

QToolButton* MakeHalf(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(7, 5));
    return button;
}

}  // namespace

TRxUpDown::TRxUpDown(QWidget* parent)
    : QWidget(parent), up_(MakeHalf(this, Qt::UpArrow)), down_(MakeHalf(this, Qt::DownArrow)) {
    connect(up_, &QToolButton::clicked, this, [this] { emit moved(true); });
    connect(down_, &QToolButton::clicked, this, [this] { emit moved(false); });
    setCursor(Qt::ArrowCursor);
}

int TRxUpDown::PreferredWidth() const {
    return std::min(style()->pixelMetric(QStyle::PM_ScrollBarExtent), 15);
}

void TRxUpDown::resizeEvent(QResizeEvent*) {
    const int upper = height() / 2;
    up_->setGeometry(0, 0, width(), upper);
    down_->setGeometry(0, upper, width(), height() - upper);
}
