// TDegradClass, the side panel's gradient.
#include "ui/gradient_panel.h"

#include <QEvent>
#include <QPainter>

#include "app/gradient_panel.h"

namespace {

Rgb ToRgb(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

}  // namespace

TDegradClass::TDegradClass(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    parent->installEventFilter(this);
    setGeometry(parent->rect());
    lower();
}

void TDegradClass::SetStartColor(const PanelColour& colour) {
    if (colour == start_) return;
    start_ = colour;
    update();
}

void TDegradClass::SetEndColor(const PanelColour& colour) {
    if (colour == end_) return;
    end_ = colour;
    update();
}

bool TDegradClass::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
}

void TDegradClass::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // System colours are read now, so a changed palette shows at once.
    const auto bands =
        GradientBands(width(), ToRgb(start_.Resolve(palette())), ToRgb(end_.Resolve(palette())));
    for (const GradientBand& band : bands) {
        if (band.right <= band.left) continue;
        painter.fillRect(QRect(band.left, 0, band.right - band.left, height()),
                         QColor(band.colour.red, band.colour.green, band.colour.blue));
    }
}
