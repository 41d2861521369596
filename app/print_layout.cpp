#include "app/print_layout.h"

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

}  // namespace

void PrintHeaderGrid(Printer& printer, const HeaderGrid& grid) {
    PrintJob(printer, [&] {
        PrintFont font{"Arial", 10, true};
        printer.SetFont(font);
        int y = kFirstLineY;
        for (int row = 0; row < kGridRows; ++row) {
            for (int column = 0; column < kGridColumns; ++column)
                printer.TextOut(kGridColumnX[column], y, grid.Cell(column, row));
            if (font.bold) {
                font.bold = false;
                printer.SetFont(font);
            }
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
            if (i != 0 && i % kMessagePageLines == 0) {
                printer.NewPage();
                y = kFirstLineY;
            }
        }
    });
}
