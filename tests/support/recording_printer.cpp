#include "support/recording_printer.h"

#include <string>

#include "platform/text.h"

void RecordingPrinter::Log(std::string line) {
    if (noDefault) throw EPrinterNoDefault();
    log.push_back(std::move(line));
}

PrinterOrientation RecordingPrinter::Orientation() const {
    if (noDefault) throw EPrinterNoDefault();
    return orientation;
}

void RecordingPrinter::SetOrientation(PrinterOrientation value) {
    Log(value == PrinterOrientation::Portrait ? "portrait" : "landscape");
    orientation = value;
}

void RecordingPrinter::SetFont(const PrintFont& font) {
    Log("font " + font.name + " " + IntToStr(font.pointSize) + (font.bold ? " bold" : ""));
}

void RecordingPrinter::TextOut(int x, int y, std::string_view text, int /*width*/) {
    if (failAtText && ++texts_ == *failAtText) throw EPrinterError("panne");
    Log("text " + IntToStr(x) + "," + IntToStr(y) + ":" + std::string(text));
}

std::vector<std::string> RecordingPrinter::Texts() const {
    std::vector<std::string> texts;
    for (const std::string& line : log)
        if (line.rfind("text ", 0) == 0 && line.back() != ':') texts.push_back(line.substr(5));
    return texts;
}

std::vector<int> RecordingPrinter::TextsPerPage(int fromY) const {
    std::vector<int> pages;
    for (const std::string& line : log) {
        if (line == "begin" || line == "page") pages.push_back(0);
        if (line.rfind("text ", 0) == 0 && std::stoi(line.substr(line.find(',') + 1)) >= fromY)
            ++pages.back();
    }
    return pages;
}

int RecordingPrinter::TextWidth(std::string_view text) const {
    int characters = 0;
    for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return characters * charWidth;
}
