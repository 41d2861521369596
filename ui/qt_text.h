#pragma once
// Texts are UTF-8 inside the program; Qt wants its own strings. These are
// the only place the windows convert.
#include <QString>
#include <string>
#include <string_view>

QString toQt(std::string_view utf8);
std::string fromQt(const QString& text);
