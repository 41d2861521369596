#pragma once
// The two prints of the "Fichier" menu, as text at fixed printer device
// pixels (they suit a printer of about 600 dots per inch): the header grid
// on one page, and the preview pane's lines over as many pages as needed.
// The printer's orientation is set to portrait for the job and put back
// whatever happens. An error once the job has begun aborts it (nothing is
// printed) and is raised again: the first error, the real cause.
#include <string>
#include <vector>

#include "app/window.h"
#include "platform/printer.h"

namespace print_layout {
inline constexpr int kFirstLineY = 300;
inline constexpr int kLineStep = 94;
// x of grid columns 0 to 5.
inline constexpr int kGridColumnX[kGridColumns] = {120, 260, 950, 2000, 4000, 4450};
inline constexpr int kGridRows = 1000;
inline constexpr int kMessageX = 300;
// After line 0 and every 65th line, a new page: 66 lines on the first page,
// 65 on each later one.
inline constexpr int kMessagePageLines = 65;
}  // namespace print_layout

// Every grid row from 0 to 999, the empty ones included, "Arial" 10 points,
// the heading row bold; rows below the printable area do not appear.
void PrintHeaderGrid(Printer& printer, const HeaderGrid& grid);
// The lines at x 300 in the pane's font, normal style.
void PrintMessageLines(Printer& printer, const std::vector<std::string>& lines, const TextFont& font);
