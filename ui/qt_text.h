#pragma once
// Texts are Windows-1252 inside the program; Qt wants Unicode. These two are
// the only place the windows convert.
#include <QString>
#include <string>
#include <string_view>

QString toQt(std::string_view ansi);
std::string fromQt(const QString& text);
