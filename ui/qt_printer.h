#pragma once
// The printer service over Qt Print Support: the system's default printer,
// or a PDF file (the same drawing, only the output device differs). A job is
// kept as it is drawn and put on the device when it ends: for the default
// printer, through a print preview where the user prints it or not. Text is
// placed with its top left corner at the point, in 600 dpi units scaled to
// the device's resolution, so a print reads the same at any resolution. One
// object lives as long as the window, so the orientation the prints put back
// is the one the printer had.
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/printer.h"

class QPainter;
class QPrintPreviewDialog;

class QtPrinter : public Printer {
public:
    // The default printer of the system, with a print preview.
    QtPrinter();
    // A PDF file at `resolution` dots per inch, no preview.
    QtPrinter(const QString& pdfFile, int resolution);
    ~QtPrinter() override;

    PrinterOrientation Orientation() const override;
    void SetOrientation(PrinterOrientation orientation) override;
    void BeginDoc() override;
    void NewPage() override;
    void SetFont(const PrintFont& font) override;
    void TextOut(int x, int y, std::string_view text, int width) override;
    int PageHeight() const override;
    int PageWidth() const override;
    int TextWidth(std::string_view text) const override;
    void EndDoc() override;
    void Abort() noexcept override;

    // Shows the preview of a job; true when the job is still to be drawn on
    // the printer (the dialog's own print button draws it itself). Tests
    // answer without a dialog.
    using PreviewRunner = std::function<bool(QPrintPreviewDialog&)>;
    PreviewRunner preview;

private:
    // A font step names its font in fonts_: text steps, the many, carry no
    // font of their own.
    struct Step {
        enum Kind { Page, Font, Text } kind;
        std::size_t font = 0;
        int x = 0, y = 0, width = 0;
        QString text;
    };
    // The printer to draw on; throws EPrinterNoDefault when there is none.
    QPrinter& Device() const;
    void Recording() const;
    // The job's steps on `device`; false when the device refused it.
    bool Draw(QPrinter& device) const;
    void Replay(QPainter& painter, QPrinter& device) const;

    std::unique_ptr<QPrinter> printer_;
    bool recording_ = false;
    std::vector<Step> steps_;
    std::vector<PrintFont> fonts_;
};
