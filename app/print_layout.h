#pragma once
// The two prints of the "Fichier" menu, as text at the printer's 600 dots
// per inch units: the header grid, and the preview pane's lines. Both go on
// to a new page where the page ends. The printer's orientation is set to
// portrait for the job and put back whatever happens. An error once the job
// has begun aborts it (nothing is printed) and is raised again: the first
// error, the real cause.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/scan_record.h"
#include "app/window.h"
#include "platform/printer.h"

namespace print_layout {
inline constexpr int kFirstLineY = 300;
inline constexpr int kLineStep = 94;
// x of grid columns 0 to 5, and the right edge of the last one.
// Column 0 starts left of where it was, so that a three-digit number fits.
inline constexpr int kGridColumnX[kGridColumns] = {60, 260, 950, 2000, 4000, 4450};
inline constexpr int kGridRight = 4750;
// Room kept between a column's text and the next column.
inline constexpr int kColumnGap = 30;
inline constexpr int kMessageX = 300;
// After line 0 and every 65th line, a new page: 66 lines on the first page,
// 65 on each later one; sooner when the page is shorter.
inline constexpr int kMessagePageLines = 65;
// The heading above the first line of each page: the subject, then the
// sender, date and account with the page number at the right.
inline constexpr int kHeadingY[2] = {40, 134};
// Room kept right of the longest line, so that a font drawn a little wider
// on the device still ends inside the page.
inline constexpr int kRightMargin = 120;
}  // namespace print_layout

// What a printed message is, repeated at the top of each of its pages.
struct PrintHeading {
    std::string account;
    std::string subject;
    std::string sender;
    std::string date;
};

// The grid rows from 0 to the last that holds a text, "Arial" 10 points,
// each text cut to its column; the heading row bold, and again at the top of
// every page after the first.
void PrintHeaderGrid(Printer& printer, const HeaderGrid& grid);
// The heading of the message `row` shows, of `account`: its cells as the
// grid shows them.
PrintHeading RowHeading(const ScanRow& row, std::string account);

// The lines at x 300 in the pane's font, normal style, each wrapped to the
// page's width (a word wider than the page broken where it must), under
// `heading` and "page n/N" on every page.
void PrintMessageLines(Printer& printer, const std::vector<std::string>& lines, const TextFont& font,
                       const PrintHeading& heading = {});
// `line` in pieces no wider than `width` by `measure`: cut after the last
// space that fits, a word wider than `width` cut between two characters.
// Spaces at a cut are dropped; a line that fits is kept whole.
std::vector<std::string> WrapToWidth(std::string_view line, int width,
                                     const std::function<int(std::string_view)>& measure);
