#include "app/print_layout.h"

#include <algorithm>
#include <exception>
#include <functional>

#include "app/scan_cells.h"
#include "app/texts.h"
#include "platform/text.h"
#include "platform/text_format.h"

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
    for (int row = grid.RowCount() - 1; row > 0; --row)
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

PrintHeading RowHeading(const ScanRow& row, std::string account) {
    GridRow cells = GridCells(row);
    return {std::move(account), std::move(cells[3]), std::move(cells[2]), std::move(cells[1])};
}

std::vector<std::string> WrapToWidth(std::string_view line, int width,
                                     const std::function<int(std::string_view)>& measure) {
    std::vector<std::string> pieces;
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    while (width > 0 && !line.empty() && measure(line) > width) {
        // The ends of its characters, and the longest head that fits (one
        // character at least, or the line would never shrink).
        std::vector<std::size_t> ends;
        for (std::size_t i = 1; i <= line.size(); ++i)
            if (i == line.size() || !continuation(line[i])) ends.push_back(i);
        std::size_t fits = 0, over = ends.size() - 1;
        if (measure(line.substr(0, ends[0])) <= width) {
            while (over - fits > 1) {
                const std::size_t middle = (fits + over) / 2;
                (measure(line.substr(0, ends[middle])) <= width ? fits : over) = middle;
            }
        }
        std::size_t cut = ends[fits];
        std::size_t rest = cut;
        // A space that ends the head, or the last one inside it, is the cut.
        const std::size_t space = line.find_last_of(' ', cut);
        if (space != std::string_view::npos && line.find_first_not_of(' ') < space) {
            cut = line.find_last_not_of(' ', space) + 1;
            rest = space;
        }
        pieces.emplace_back(line.substr(0, cut));
        const std::size_t next = line.find_first_not_of(' ', rest);
        line = next == std::string_view::npos ? std::string_view() : line.substr(next);
    }
    if (!line.empty() || pieces.empty()) pieces.emplace_back(line);
    return pieces;
}

namespace {

// The page's two heading lines; the page number right-aligned at `right`.
void PrintHeadingLines(Printer& printer, const PrintHeading& heading, const TextFont& font, int right,
                       int page, int pages) {
    printer.SetFont({font.name, font.pointSize, true});
    printer.TextOut(kMessageX, kHeadingY[0], heading.subject, right - kMessageX);
    printer.SetFont({font.name, font.pointSize, false});
    const std::string number = FormatText(texts::kPrintPage, {IntToStr(page), IntToStr(pages)});
    const int numberX = right - std::max(printer.TextWidth(number), 0);
    std::string details;
    for (const std::string* field : {&heading.sender, &heading.date, &heading.account})
        if (!field->empty()) details += (details.empty() ? "" : std::string(texts::kPrintSeparator)) + *field;
    printer.TextOut(kMessageX, kHeadingY[1], details, std::max(numberX - kColumnGap - kMessageX, 1));
    printer.TextOut(numberX, kHeadingY[1], number);
}

}  // namespace

void PrintMessageLines(Printer& printer, const std::vector<std::string>& lines, const TextFont& font,
                       const PrintHeading& heading) {
    PrintJob(printer, [&] {
        printer.SetFont({font.name, font.pointSize, false});
        // Wrapped first, so that each page knows how many there are.
        const int pageWidth = printer.PageWidth();
        const int right = pageWidth > 0 ? pageWidth - kRightMargin : kGridRight;
        const auto measure = [&](std::string_view text) { return printer.TextWidth(text); };
        std::vector<std::string> printed;
        for (const std::string& line : lines)
            for (std::string& piece : WrapToWidth(line, pageWidth > 0 ? right - kMessageX : 0, measure))
                printed.push_back(std::move(piece));
        std::vector<std::size_t> pageEnds;
        int y = kFirstLineY;
        for (std::size_t i = 0; i < printed.size(); ++i) {
            y += kLineStep;
            const bool ruleBreak = i != 0 && i % kMessagePageLines == 0;
            if ((i + 1 < printed.size() || ruleBreak) && (ruleBreak || BelowPage(printer, y))) {
                pageEnds.push_back(i + 1);
                y = kFirstLineY;
            }
        }
        pageEnds.push_back(printed.size());
        const int pages = static_cast<int>(pageEnds.size());
        std::size_t i = 0;
        for (int page = 0; page < pages; ++page) {
            if (page > 0) printer.NewPage();
            PrintHeadingLines(printer, heading, font, right, page + 1, pages);
            for (y = kFirstLineY; i < pageEnds[static_cast<std::size_t>(page)]; ++i, y += kLineStep)
                printer.TextOut(kMessageX, y, printed[i]);
        }
    });
}
