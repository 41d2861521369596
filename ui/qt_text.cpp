#include "ui/qt_text.h"

#include "platform/text.h"

QString toQt(std::string_view ansi) { return QString::fromStdString(AnsiToUtf8(ansi)); }

std::string fromQt(const QString& text) { return Utf8ToAnsi(text.toStdString()); }
