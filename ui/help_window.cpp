#include "ui/help_window.h"

#include <QFile>
#include <QFontMetrics>
#include <QVBoxLayout>

#include "app/help_window.h"
#include "app/texts.h"
#include "ui/qt_text.h"

namespace {
// The file of `url` as read from `page`, when the help may read it.
std::optional<std::filesystem::path> FileOf(const std::filesystem::path& page, const QUrl& url) {
    return HelpFile(page, fromQt(url.scheme()), fromQt(url.path(QUrl::FullyDecoded)));
}

QUrl UrlOf(const std::filesystem::path& file) { return QUrl::fromLocalFile(toQt(file.string())); }
}  // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::Follow);
}

void HelpBrowser::ShowPage(const std::filesystem::path& page) {
    page_ = page;
    setSource(UrlOf(page));
}

void HelpBrowser::Follow(const QUrl& link) {
    if (link.scheme().isEmpty() && link.path().isEmpty()) {
        scrollToAnchor(link.fragment());
        return;
    }
    const std::optional<std::filesystem::path> file = FileOf(page_, link);
    if (!file) return;
    page_ = *file;
    QUrl url = UrlOf(*file);
    url.setFragment(link.fragment());
    setSource(url);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const std::optional<std::filesystem::path> file = FileOf(page_, name);
    if (!file) return {};
    QFile content(toQt(file->string()));
    if (!content.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = content.readAll();
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return QString::fromUtf8(bytes);
    return bytes;
}

HelpWindow::HelpWindow(QWidget* parent) : DocumentDialog(parent), Browser(new HelpBrowser(this)) {
    setWindowTitle(toQt(texts::kHelpWindowTitle));
    Browser->setAccessibleName(toQt(texts::kHelpWindowTitle));
    Browser->setAccessibleDescription(
        QStringLiteral("Le guide de l'utilisateur ; Tab passe d'un lien à l'autre"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Browser);
    const QFontMetrics metrics(font());
    resize(metrics.averageCharWidth() * 90, metrics.height() * 40);
}

void HelpWindow::ShowPage(const std::filesystem::path& page) { Browser->ShowPage(page); }
