// The Corbeille window's buttons, clicked offscreen on a Corbeille that holds
// one kept message, with the boxes answered in advance.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <optional>

#include "app/corbeille.h"
#include "box_recorder.h"
#include "platform/lock_file.h"
#include "support/recording_printer.h"
#include "support/scratch_folder.h"
#include "ui/corbeille_dialog.h"
#include "ui/preview_memo.h"
#include "ui/qt_dialogs.h"

namespace {

const std::string kKept =
    "From: Spam <s@pub.example>\r\nSubject: Promo\r\n\r\nAchetez \xC3\xA9t\xC3\xA9.\r\n";

struct ButtonCase {
    const char* name;
    QPushButton* CorbeilleWindow::*button;
    bool select;                  // the kept message's row selected first
    std::deque<QString> answers;  // to the boxes, in order
    std::string boxes;            // the texts of the boxes shown, "|" between them
    std::size_t opened;           // files the desktop was asked to open
    int rowsAfter;
    bool paneShowsBody;
    bool noDesktopProgram = false;
    bool anotherRun = false;  // another run holds the mailbox lock
};
const std::string kChoose = "Choisissez d'abord un message de la liste.";
const std::string kEmptyQuestion = "Voulez-vous détruire définitivement tous les messages de la corbeille ?";
const ButtonCase kButtons[] = {
    {"ouvrir_hands_a_copy_to_the_desktop", &CorbeilleWindow::OpenButton, true, {}, "", 1, 1, false},
    {"ouvrir_without_a_desktop_program_says_where",
     &CorbeilleWindow::OpenButton,
     true,
     {},
     "Aucun programme du bureau n'ouvre les messages. La copie est enregistrée ici :",
     1,
     1,
     false,
     true},
    {"ouvrir_without_a_row_says_to_choose", &CorbeilleWindow::OpenButton, false, {}, kChoose, 0, 1, false},
    {"apercu_shows_the_message", &CorbeilleWindow::PreviewButton, true, {}, "", 0, 1, true},
    {"apercu_without_a_row_says_to_choose", &CorbeilleWindow::PreviewButton, false, {}, kChoose, 0, 1, false},
    {"vider_yes_removes_every_copy",
     &CorbeilleWindow::EmptyButton,
     false,
     {"&Oui"},
     kEmptyQuestion,
     0,
     0,
     false},
    {"vider_no_keeps_them", &CorbeilleWindow::EmptyButton, true, {"&Non"}, kEmptyQuestion, 0, 1, false},
    // A purge writing its copies holds the lock: "vider" waits, then gives up.
    {"vider_while_another_run_holds_the_lock",
     &CorbeilleWindow::EmptyButton,
     false,
     {"&Oui"},
     kEmptyQuestion + "|Une autre session de Vannoir agit déjà sur cette boîte aux lettres avec les mêmes "
                      "réglages : réessayez quand elle aura fini.",
     0,
     1,
     false,
     false,
     true},
};

class CorbeilleButton : public testing::TestWithParam<ButtonCase> {};
TEST_P(CorbeilleButton, DoesWhatItSays) {
    const ButtonCase& c = GetParam();
    ScratchFolder dir;
    const std::filesystem::path folder = dir / "Corbeille";
    {
        Corbeille corbeille(folder, {});
        CorbeilleEntry entry;
        entry.deletedAt = 1800000000;
        entry.sender = "Spam";
        entry.subject = "Promo";
        auto copy = corbeille.Begin(entry);
        copy->Append(kKept);
        corbeille.Sync({copy->Keep()});
    }
    QtDialogs dialogs;
    BoxRecorder recorder(dialogs);
    recorder.answers = c.answers;
    RecordingShell shell;
    shell.fails = c.noDesktopProgram;
    std::optional<LockFile> other;
    if (c.anotherRun) other.emplace(dir / "Vannoir.VERROU", 0);
    const std::unique_ptr<Printer> printer;
    CorbeilleWindow window(folder, dir / "Vannoir.ini", dialogs, shell, printer, nullptr);
    window.show();
    ASSERT_EQ(window.List->rowCount(), 1);
    if (c.select) window.List->selectRow(0);
    QTest::mouseClick(window.*c.button, Qt::LeftButton);

    std::string boxes;
    for (const ShownBox& box : recorder.shown) boxes += (boxes.empty() ? "" : "|") + box.text;
    // A path follows on the next line; the rest is the text itself.
    EXPECT_EQ(boxes.substr(0, boxes.find('\n')), c.boxes);
    ASSERT_EQ(shell.opened.size(), c.opened);
    if (c.opened > 0) {
        EXPECT_EQ(shell.opened[0].extension(), ".eml");
        EXPECT_EQ(FileBytes(shell.opened[0]), kKept);
        std::filesystem::remove_all(shell.opened[0].parent_path());
    }
    EXPECT_EQ(window.List->rowCount(), c.rowsAfter);
    EXPECT_EQ(Corbeille(folder, {}).List().size(), static_cast<std::size_t>(c.rowsAfter));
    EXPECT_EQ(window.Pane->toPlainText().contains(QString::fromUtf8("Achetez été.")), c.paneShowsBody)
        << window.Pane->toPlainText().toStdString();
}
INSTANTIATE_TEST_SUITE_P(Table, CorbeilleButton, testing::ValuesIn(kButtons),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
