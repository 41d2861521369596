#include "ui/app_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

// Rendered here rather than through an icon plugin, so the pictures show
// wherever the program runs.
QIcon RenderSvg(const QString& path, std::initializer_list<QSize> sizes) {
    QSvgRenderer renderer(path);
    QIcon icon;
    for (QSize size : sizes) {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon AppIcon() { return RenderSvg(QStringLiteral(":/icons/vannoir.svg"), {{16, 16}, {32, 32}, {48, 48}}); }

QIcon ButtonIcon(const QString& name) {
    return RenderSvg(QStringLiteral(":/icons/%1.svg").arg(name), {{40, 32}});
}
