#include "ui/qt_printer.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>
#include <QtMath>

#include "ui/qt_text.h"

namespace {

// The layouts' units.
constexpr double kLayoutDpi = 600.0;

// `chosen` sized in layout units: texts are measured and cut with it, so
// that a print holds the same words at every resolution.
QFont LayoutFont(const PrintFont& chosen) {
    QFont font(toQt(chosen.name));
    font.setBold(chosen.bold);
    font.setPixelSize(qRound(chosen.pointSize * kLayoutDpi / 72.0));
    return font;
}

}  // namespace

QtPrinter::QtPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    preview = [](QPrintPreviewDialog& dialog) {
        dialog.exec();
        return false;
    };
}

QtPrinter::QtPrinter(const QString& pdfFile, int resolution)
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(pdfFile);
    printer_->setResolution(resolution);
}

QtPrinter::~QtPrinter() = default;

QPrinter& QtPrinter::Device() const {
    if (!printer_) throw EPrinterNoDefault();
    return *printer_;
}

void QtPrinter::Recording() const {
    if (!recording_) throw EPrinterError(std::string("L'imprimante n'imprime pas pour l'instant"));
}

PrinterOrientation QtPrinter::Orientation() const {
    return Device().pageLayout().orientation() == QPageLayout::Landscape ? PrinterOrientation::Landscape
                                                                         : PrinterOrientation::Portrait;
}

void QtPrinter::SetOrientation(PrinterOrientation orientation) {
    Device().setPageOrientation(orientation == PrinterOrientation::Landscape ? QPageLayout::Landscape
                                                                             : QPageLayout::Portrait);
}

int QtPrinter::PageHeight() const {
    const QPrinter& device = Device();
    const int dpi = device.resolution();
    return static_cast<int>(device.pageLayout().paintRectPixels(dpi).height() * kLayoutDpi / dpi);
}

int QtPrinter::PageWidth() const {
    const QPrinter& device = Device();
    const int dpi = device.resolution();
    return static_cast<int>(device.pageLayout().paintRectPixels(dpi).width() * kLayoutDpi / dpi);
}

int QtPrinter::TextWidth(std::string_view text) const {
    if (fonts_.empty()) return 0;
    return qCeil(QFontMetricsF(LayoutFont(fonts_.back())).horizontalAdvance(toQt(text)));
}

void QtPrinter::BeginDoc() {
    Device();
    steps_.clear();
    fonts_.clear();
    recording_ = true;
}

void QtPrinter::NewPage() {
    Recording();
    steps_.push_back({Step::Page, 0, 0, 0, 0, {}});
}

void QtPrinter::SetFont(const PrintFont& font) {
    Recording();
    fonts_.push_back(font);
    steps_.push_back({Step::Font, fonts_.size() - 1, 0, 0, 0, {}});
}

void QtPrinter::TextOut(int x, int y, std::string_view text, int width) {
    Recording();
    if (!text.empty()) steps_.push_back({Step::Text, 0, x, y, width, toQt(text)});
}

void QtPrinter::Replay(QPainter& painter, QPrinter& device) const {
    const double scale = device.resolution() / kLayoutDpi;
    QFont layoutFont;
    for (const Step& step : steps_) {
        switch (step.kind) {
            case Step::Page:
                if (!device.newPage())
                    throw EPrinterError(std::string("Impossible de commencer une nouvelle page"));
                break;
            case Step::Font: {
                const PrintFont& chosen = fonts_[step.font];
                QFont font(toQt(chosen.name));
                font.setPointSize(chosen.pointSize);
                font.setBold(chosen.bold);
                painter.setFont(font);
                layoutFont = LayoutFont(chosen);
                break;
            }
            case Step::Text: {
                const QString shown =
                    step.width > 0
                        ? QFontMetricsF(layoutFont).elidedText(step.text, Qt::ElideRight, step.width)
                        : step.text;
                painter.drawText(QPointF(step.x * scale, step.y * scale + painter.fontMetrics().ascent()),
                                 shown);
                break;
            }
        }
    }
}

bool QtPrinter::Draw(QPrinter& device) const {
    device.setFullPage(false);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    try {
        Replay(painter, device);
    } catch (...) {
        painter.end();
        throw;
    }
    return painter.end();
}

void QtPrinter::EndDoc() {
    Recording();
    recording_ = false;
    QPrinter& device = Device();
    if (preview) {
        QPrintPreviewDialog dialog(&device);
        dialog.setWindowTitle(QStringLiteral("Aperçu avant impression"));
        bool failed = false;
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&](QPrinter* target) { failed = !Draw(*target) || failed; });
        if (!preview(dialog)) {
            if (failed) throw EPrinterError(std::string("L'impression n'a pas pu se terminer"));
            return;
        }
    }
    if (!Draw(device))
        throw EPrinterError(std::string("Impossible de commencer l'impression sur ") +
                            fromQt(device.printerName()));
}

void QtPrinter::Abort() noexcept {
    recording_ = false;
    steps_.clear();
    fonts_.clear();
}
