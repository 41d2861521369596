#include "ui/focus_frame.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <algorithm>

void ShowFocusOnFrame(QAbstractScrollArea& pane, const QEvent& event) {
    if (event.type() == QEvent::FocusIn || event.type() == QEvent::FocusOut) pane.update();
    if (event.type() != QEvent::Paint || !pane.hasFocus()) return;
    QPainter painter(&pane);
    painter.setPen(pane.palette().color(QPalette::Highlight));
    for (int inset = 0; inset < std::max(1, pane.frameWidth()); ++inset)
        painter.drawRect(pane.rect().adjusted(inset, inset, -1 - inset, -1 - inset));
}
