// A sender or subject holding characters that turn text around shows them
// as "<U+202E>" wherever the window shows it, as the command line does: the
// text each place holds is read back.
#include <cstdio>
#include <sstream>

#include "platform/ini_file.h"
#include "support/pop3_script_pieces.h"
#include "ui/corbeille_dialog.h"
#include "ui/grid_table.h"
#include "ui/preview_fields.h"
#include "ui/preview_memo.h"
#include "ui/qt_printer.h"
#include "window_fixture.h"

namespace {

// Purged, so that the Corbeille keeps it.
const std::string kTrap = Header("Spam\u202E <s@pub.example>", "Facture \u202Efdp.exe");
// Kept, previewed, then asked about.
const std::string kKept = Header("Zo\u200Fe <z@example.fr>", "Re\u061C: \u2067exe.pdf");

// A whole message with CR LF line ends.
std::string Whole(const std::string& header, const std::string& body) {
    std::string bytes;
    for (char c : header + "\n\n" + body + "\n") bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return bytes;
}

struct Shown {
    std::string purgeList, deleteQuestion;
};

struct Place;
std::string PrintedSender(WindowFixture& window, const Shown&);

struct Place {
    const char* name;
    std::string (*read)(WindowFixture& window, const Shown& shown);
    std::string expected;
};

std::string Text(const QString& text) { return text.toStdString(); }

const Place kPlaces[] = {
    {"grid_sender",
     [](WindowFixture& w, const Shown&) { return Text(w.form1.StringGrid1->item(0, 1)->text()); },
     "Zo<U+200F>e"},
    {"grid_subject",
     [](WindowFixture& w, const Shown&) { return Text(w.form1.StringGrid1->item(0, 2)->text()); },
     "Re<U+061C>: <U+2067>exe.pdf"},
    {"grid_print", PrintedSender, "Zo<U+200F>e"},
    {"preview_header_subject",
     [](WindowFixture& w, const Shown&) { return Text(w.form1.PreviewFields1->Subject->text()); },
     "Re<U+061C>: <U+2067>exe.pdf"},
    {"preview_header_sender",
     [](WindowFixture& w, const Shown&) { return Text(w.form1.PreviewFields1->Sender->text()); },
     "Zo<U+200F>e"},
    {"preview_pane_sender", [](WindowFixture& w, const Shown&) { return w.form1.Memo1->Lines().at(0); },
     "\"Zo<U+200F>e\" <z@example.fr>"},
    {"purge_list", [](WindowFixture&, const Shown& s) { return s.purgeList; },
     "Spam<U+202E> : Facture <U+202E>fdp.exe"},
    {"delete_question",
     [](WindowFixture&, const Shown& s) { return s.deleteQuestion.substr(0, s.deleteQuestion.find('\n')); },
     "Supprimer le message 1 de Zo<U+200F>e : Re<U+061C>: <U+2067>exe.pdf ?"},
    {"corbeille_sender",
     [](WindowFixture& w, const Shown&) { return Text(w.form1.Corbeille()->List->item(0, 2)->text()); },
     "Spam<U+202E>"},
    {"corbeille_subject",
     [](WindowFixture& w, const Shown&) { return Text(w.form1.Corbeille()->List->item(0, 3)->text()); },
     "Facture <U+202E>fdp.exe"},
};
// The grid printed to a PDF: the line of its text that holds the sender.
std::string PrintedSender(WindowFixture& window, const Shown&) {
    const std::filesystem::path pdf = window.dir / "grille.pdf";
    window.form1.UsePrinter(std::make_unique<QtPrinter>(QString::fromStdString(pdf.string()), 600));
    window.MenuItem({"Fichier", "Imprimer", "en-têtes"})->trigger();
    std::string text;
    if (FILE* pipe = ::popen(("pdftotext '" + pdf.string() + "' - 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
        ::pclose(pipe);
    }
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("Zo")) return line;
    return text;
}

void PrintTo(const Place& place, std::ostream* out) { *out << place.name; }

class ReorderingShown : public WindowFixture, public testing::WithParamInterface<Place> {};

TEST_P(ReorderingShown, AsTheCommandLineShowsIt) {
    // The Corbeille on: the purge keeps its copy.
    WriteAccount();
    TIniFile(paths.settings).WriteInteger("Form", "Corbeille", 1);
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "*.pub.example\r\n");
    Show();
    ScriptedPop3Server server(ScanLogin() + Stats(2, 4) + Message(1, kTrap, 100) + Message(2, kKept, 200) +
                              Stat(2) + Retr(1, Whole(kTrap, "Achetez.")) + Dele(1) + Quit() + kNextSession +
                              ScanLogin() + Retr(1, Whole(kKept, "Bonjour.")) + Quit());
    UseServer(server);
    boxes.answers = {"&Oui", "&Non"};
    QTest::mouseClick(form1.BitBtn1, Qt::LeftButton);
    QTest::mouseClick(form1.BitBtn2, Qt::LeftButton);
    QTest::mouseClick(form1.BitBtn3, Qt::LeftButton);
    MenuItem({"Fichier", "Corbeille…"})->trigger();
    server.ExpectFinished();
    ASSERT_EQ(boxes.shown.size(), 2u);
    ASSERT_NE(form1.Corbeille(), nullptr);
    ASSERT_EQ(form1.Corbeille()->List->rowCount(), 1);
    EXPECT_EQ(GetParam().read(*this, {boxes.shown[0].listed, boxes.shown[1].text}), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, ReorderingShown, testing::ValuesIn(kPlaces),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
