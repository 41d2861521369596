#pragma once
// The printer service over Qt Print Support: the system's default printer,
// or a PDF file (the same drawing, only the output device differs). Text is
// drawn with its top left corner at the point, in the printer's device
// pixels. One object lives as long as the window, so the orientation the
// prints put back is the one the printer had.
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <memory>

#include "platform/printer.h"

class QtPrinter : public Printer {
public:
    // The default printer of the system.
    QtPrinter();
    // A PDF file at `resolution` dots per inch.
    QtPrinter(const QString& pdfFile, int resolution);
    ~QtPrinter() override;

    PrinterOrientation Orientation() const override;
    void SetOrientation(PrinterOrientation orientation) override;
    void BeginDoc() override;
    void NewPage() override;
    void SetFont(const PrintFont& font) override;
    void TextOut(int x, int y, std::string_view text) override;
    void EndDoc() override;
    void Abort() noexcept override;

private:
    // The printer to draw on; throws EPrinterNoDefault when there is none.
    QPrinter& Device() const;
    void Painting() const;

    bool toFile_ = false;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
};
