#pragma once
// A printer that records every operation as a line of text, and can fail;
// the same for the desktop's opener.
#include <optional>
#include <string>
#include <vector>

#include "platform/printer.h"
#include "platform/shell.h"

class RecordingPrinter : public Printer {
public:
    PrinterOrientation Orientation() const override;
    void SetOrientation(PrinterOrientation value) override;
    void BeginDoc() override { Log("begin"); }
    void NewPage() override { Log("page"); }
    void SetFont(const PrintFont& font) override;
    // Logged as "text x,y:text", the width left out.
    void TextOut(int x, int y, std::string_view text, int width) override;
    int PageHeight() const override { return pageHeight; }
    int PageWidth() const override { return pageWidth; }
    // `charWidth` for each character.
    int TextWidth(std::string_view text) const override;
    void EndDoc() override { Log("end"); }
    void Abort() noexcept override { log.push_back("abort"); }

    // The texts drawn, each "x,y:text"; only the non-empty ones.
    std::vector<std::string> Texts() const;
    // How many texts each page holds at `fromY` or below, empty ones included.
    std::vector<int> TextsPerPage(int fromY = 0) const;

    PrinterOrientation orientation = PrinterOrientation::Landscape;
    bool noDefault = false;  // no default printer
    int pageHeight = 0;      // unknown
    int pageWidth = 0;       // unknown
    int charWidth = 40;
    std::optional<int> failAtText;  // the nth TextOut (from 1) fails
    std::vector<std::string> log;

private:
    void Log(std::string line);
    int texts_ = 0;
};

// Records what it was asked to open; `fails`: no desktop program opens it.
class RecordingShell : public Shell {
public:
    bool Open(const std::filesystem::path& document) override {
        opened.push_back(document);
        return !fails;
    }
    std::vector<std::filesystem::path> opened;
    bool fails = false;
};
