#include "ui/grid_look.h"

#include "app/texts.h"
#include "ui/qt_text.h"

namespace {

QColor Mixed(const QColor& base, const QColor& hue) {
    // A quarter of the hue: light in a light theme, dark in a dark one.
    constexpr double share = 0.25;
    return QColor::fromRgbF(static_cast<float>(base.redF() * (1 - share) + hue.redF() * share),
                            static_cast<float>(base.greenF() * (1 - share) + hue.greenF() * share),
                            static_cast<float>(base.blueF() * (1 - share) + hue.blueF() * share));
}

}  // namespace

QString GridLook::WidestValue(int column) {
    switch (column) {
        case 0:
            return QStringLiteral("00000");
        case 1:
            return QStringLiteral("00/00/00 à 00:00");
        case 4:
            return QStringLiteral("00000000");
        case 5:
            return QStringLiteral("AI");
        default:
            return QString();
    }
}

QBrush GridLook::RowBrush(const QPalette& palette, const std::string& status) {
    const QColor base = palette.color(QPalette::Base);
    if (status == texts::kIntruderMark) return Mixed(base, QColor(255, 0, 0));
    if (status == texts::kFriendMark) return Mixed(base, QColor(0, 200, 0));
    if (status == texts::kDoubtfulFriendMark) return Mixed(base, QColor(255, 150, 0));
    // Violet: a guess of the engine, never to be taken for the user's own intruders.
    if (status == texts::kSuspectMark) return Mixed(base, QColor(150, 60, 220));
    return QBrush();
}

QString GridLook::StatusText(const std::string& status) {
    return toQt(status == texts::kDoubtfulFriendMark ? texts::kDoubtfulFriendDescription : status);
}
