#include "app/print_layout.h"

#include <algorithm>
#include <exception>
#include <functional>

using namespace print_layout;

namespace {

// Portrait for the job, the orientation put back in every case; a failure
// inside the begun job aborts it.
void PrintJob(Printer& printer, const std::function<void()>& draw) {
    const PrinterOrientation before = printer.Orientation();
    printer.SetOrientation(PrinterOrientation::Portrait);
    std::exception_ptr failure;
    try {
        printer.BeginDoc();
        try {
            draw();
            printer.EndDoc();
        } catch (...) {
            printer.Abort();
            throw;
        }
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        printer.SetOrientation(before);
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    if (failure) std::rethrow_exception(failure);
}

int LastRowWithText(const HeaderGrid& grid) {
    for (int row = std::min(kGridRows, grid.RowCount()) - 1; row > 0; --row)
        for (int column = 0; column < kGridColumns; ++column)
            if (!grid.Cell(column, row).empty()) return row;
    return 0;
}

// Whether a line at `y` would end below the page (never when its height is
// not known).
bool BelowPage(const Printer& printer, int y) {
    const int height = printer.PageHeight();
    return height > 0 && y + kLineStep > height;
}

}  // namespace

void PrintHeaderGrid(Printer& printer, const HeaderGrid& grid) {
    PrintJob(printer, [&] {
        const int last = LastRowWithText(grid);
        const auto printRow = [&](int row, int y) {
            for (int column = 0; column < kGridColumns; ++column) {
                const int right = column + 1 < kGridColumns ? kGridColumnX[column + 1] : kGridRight;
                printer.TextOut(kGridColumnX[column], y, grid.Cell(column, row),
                                right - kGridColumnX[column] - kColumnGap);
            }
        };
        const PrintFont bold{"Arial", 10, true};
        const PrintFont normal{"Arial", 10, false};
        printer.SetFont(bold);
        printRow(0, kFirstLineY);
        printer.SetFont(normal);
        int y = kFirstLineY + kLineStep;
        for (int row = 1; row <= last; ++row) {
            if (BelowPage(printer, y)) {
                printer.NewPage();
                printer.SetFont(bold);
                printRow(0, kFirstLineY);
                printer.SetFont(normal);
                y = kFirstLineY + kLineStep;
            }
            printRow(row, y);
            y += kLineStep;
        }
    });
}

void PrintMessageLines(Printer& printer, const std::vector<std::string>& lines, const TextFont& font) {
    PrintJob(printer, [&] {
        printer.SetFont({font.name, font.pointSize, false});
        int y = kFirstLineY;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            printer.TextOut(kMessageX, y, lines[i]);
            y += kLineStep;
            const bool ruleBreak = i != 0 && i % kMessagePageLines == 0;
            if (i + 1 < lines.size() || ruleBreak) {
                if (ruleBreak || BelowPage(printer, y)) {
                    printer.NewPage();
                    y = kFirstLineY;
                }
            }
        }
    });
}
