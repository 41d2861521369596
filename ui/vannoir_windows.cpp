#include "ui/vannoir_windows.h"

#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

#include "platform/single_instance.h"

namespace {

constexpr const char* kNoDisplay =
    "Vannoir : aucun écran graphique n'est disponible ; lancez-le depuis la session de bureau, "
    "ou utilisez vannoir-cli en ligne de commande.\n";

// Qt's messages while it looks for a display, held until one answers: where
// none does, its abort becomes our one line instead.
QStringList* heldMessages = nullptr;

void HoldStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        std::_Exit(1);
    }
    heldMessages->append(qFormatLogMessage(type, context, message));
}

}  // namespace

void PrepareApplication(QApplication& app) {
    app.setApplicationName(QtDialogs::kApplicationTitle);
    // The desktop entry's name: docks and the window manager tie the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("fr.vannoir.vannoir"));
    // Qt's own dialogs and buttons (print, open, save, "Annuler") speak the
    // windows' language, from the catalogue Qt installs beside itself.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexts);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    QApplication::setFont(font);
}

VannoirWindows::VannoirWindows(const AppPaths& paths)
    : form1(std::make_unique<TForm1>(paths, dialogs)),
      form2(std::make_unique<TForm2>(form1->Logic(), dialogs)),
      form3(std::make_unique<TForm3>(form1->Logic(), dialogs)),
      form4(std::make_unique<TForm4>(dialogs)),
      form5(std::make_unique<TForm5>(form1->Logic(), dialogs)) {
    form1->SetDialogs(form2.get(), form3.get(), form4.get(), form5.get());
    for (QWidget* dialog :
         std::initializer_list<QWidget*>{form2.get(), form3.get(), form4.get(), form5.get()})
        dialog->setWindowIcon(form1->windowIcon());
}

void VannoirWindows::ShowMain() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        form1->move(screen->availableGeometry().center() - form1->rect().center());
    form1->show();
}

int RunVannoir(int& argc, char** argv, SingleInstance& marker, const std::filesystem::path& executable) {
    if (!marker.Acquire("Vannoir")) return 0;
    QStringList held;
    heldMessages = &held;
    const QtMessageHandler previous = qInstallMessageHandler(HoldStartMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    heldMessages = nullptr;
    for (const QString& message : held) std::fprintf(stderr, "%s\n", qPrintable(message));
    PrepareApplication(app);
    // The same folder as vannoir-cli's.
    const AppPaths paths = ProgramPaths(executable);
    VannoirWindows windows(paths);
    windows.ShowMain();
    app.exec();
    return 0;
}
