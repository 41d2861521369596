#include "ui/qt_printer.h"

#include <QPageLayout>
#include <QPrinterInfo>

#include "ui/qt_text.h"

QtPrinter::QtPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

QtPrinter::QtPrinter(const QString& pdfFile, int resolution)
    : toFile_(true), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(pdfFile);
    printer_->setResolution(resolution);
}

QtPrinter::~QtPrinter() {
    if (painter_.isActive()) painter_.end();
}

QPrinter& QtPrinter::Device() const {
    if (!printer_) throw EPrinterNoDefault();
    return *printer_;
}

void QtPrinter::Painting() const {
    if (!painter_.isActive()) throw EPrinterError(std::string("L'imprimante n'imprime pas pour l'instant"));
}

PrinterOrientation QtPrinter::Orientation() const {
    return Device().pageLayout().orientation() == QPageLayout::Landscape ? PrinterOrientation::Landscape
                                                                         : PrinterOrientation::Portrait;
}

void QtPrinter::SetOrientation(PrinterOrientation orientation) {
    Device().setPageOrientation(orientation == PrinterOrientation::Landscape ? QPageLayout::Landscape
                                                                             : QPageLayout::Portrait);
}

void QtPrinter::BeginDoc() {
    QPrinter& device = Device();
    // Device pixels as they are: no scaling to the resolution.
    device.setFullPage(false);
    if (!painter_.begin(&device))
        throw EPrinterError(std::string("Impossible de commencer l'impression sur ") +
                            fromQt(device.printerName()));
}

void QtPrinter::NewPage() {
    Painting();
    if (!Device().newPage()) throw EPrinterError(std::string("Impossible de commencer une nouvelle page"));
}

void QtPrinter::SetFont(const PrintFont& font) {
    Painting();
    QFont qfont(toQt(font.name));
    qfont.setPointSize(font.pointSize);
    qfont.setBold(font.bold);
    painter_.setFont(qfont);
}

void QtPrinter::TextOut(int x, int y, std::string_view text) {
    Painting();
    if (text.empty()) return;
    painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), toQt(text));
}

void QtPrinter::EndDoc() {
    Painting();
    if (!painter_.end()) throw EPrinterError(std::string("L'impression n'a pas pu se terminer"));
}

void QtPrinter::Abort() noexcept {
    if (printer_) printer_->abort();
    if (painter_.isActive()) painter_.end();
}
