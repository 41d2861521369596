#pragma once
// How the grid looks beyond its texts: the widest value each column expects
// (its width follows the font) and the tint of a friend's or an intruder's row.
#include <QBrush>
#include <QPalette>
#include <string>

namespace GridLook {
// The widest text column 0 to 5 is expected to hold, whole.
QString WidestValue(int column);
// A red-ish tint for an intruder's row, a green-ish one for a friend's, mixed
// into the palette's base so that the text stays readable in a dark theme;
// no brush (the palette's own) for other rows.
// An orange-ish one, a warning, for a doubtful friend's.
QBrush RowBrush(const QPalette& palette, const std::string& status);
// What a status mark means in words, for a screen reader; the mark itself
// for a plain one.
QString StatusText(const std::string& status);
}  // namespace GridLook
