// The main window on a desktop: sorting by a heading, the window restored
// as it closed, the keys that reach the actions, the tinted rows, the help
// and the journal without a desktop program for them, and a name for every
// control a screen reader reaches.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <map>

#include "app/deletion_journal.h"
#include "app/scan_cells.h"
#include "platform/text.h"
#include "support/pop3_script_pieces.h"
#include "support/recording_printer.h"
#include "ui/about_dialog.h"
#include "ui/config_dialog.h"
#include "ui/corbeille_dialog.h"
#include "ui/grid_table.h"
#include "ui/help_window.h"
#include "ui/journal_window.h"
#include "ui/list_dialog.h"
#include "ui/preview_fields.h"
#include "ui/preview_memo.h"
#include "ui/spin_edit.h"
#include "window_fixture.h"

namespace {

ScanRow Row(std::string_view date, std::string sender, std::int64_t size, std::string_view status) {
    ScanRow row;
    row.name = sender;
    row.subject = "Sujet de " + sender;
    row.size = size;
    row.status = status == "I"    ? SenderStatus::Intruder
                 : status == "A"  ? SenderStatus::Friend
                 : status == "A?" ? SenderStatus::DoubtfulFriend
                                  : SenderStatus::None;
    row.date = ReadMessageDate(date, 0);
    return row;
}

// Shows `record` in the grid as a scan would.
void ShowRecord(TForm1& form1, const ScanRecord& record) {
    form1.Logic().RestoreRecord(record);
    form1.StringGrid1->ClearRows(static_cast<int>(record.size()) + 1);
    for (std::size_t i = 0; i < record.size(); ++i) {
        GridRow cells = GridCells(record[i]);
        cells[0] = IntToStr(static_cast<int>(i) + 1);
        form1.StringGrid1->SetRow(static_cast<int>(i) + 1, cells);
    }
}

void ClickHeading(GridTable& grid, int column) {
    QHeaderView* header = grid.horizontalHeader();
    const int x = header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

TEST_F(WindowFixture, AHeadingSortsAgainReversesAndActionsKeepTheirMessage) {
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    Show();
    ScanRecord record = {Row("Fri, 4 Dec 2026 17:45:00 +0000", "Anne", 900, ""),
                         Row("Thu, 3 Dec 2026 09:00:00 +0000", "Bruno", 12000, "I"),
                         Row("Sat, 5 Dec 2026 08:00:00 +0000", "Claire", 1000, "A")};
    record[1].headerDigest = HeaderDigest({"From: Bruno"});
    ShowRecord(form1, record);
    GridTable& grid = *form1.StringGrid1;
    // The message numbers from the top of the table down.
    const auto shown = [&grid] {
        std::vector<QString> numbers;
        for (int row = 0; row < 3; ++row) numbers.push_back(grid.verticalHeaderItem(row)->text());
        return numbers;
    };
    ClickHeading(grid, 4);  // "Taille": 900, 1000, 12000 as numbers
    EXPECT_EQ(shown(), (std::vector<QString>{"1", "3", "2"}));
    EXPECT_EQ(grid.item(1, 4)->text(), "A") << "the cells went with their row";
    ClickHeading(grid, 4);
    EXPECT_EQ(shown(), (std::vector<QString>{"2", "3", "1"})) << "a second click reverses";
    ClickHeading(grid, 1);  // by time, not by the text
    EXPECT_EQ(shown(), (std::vector<QString>{"2", "1", "3"}));
    EXPECT_EQ(grid.Cell(2, 3), "Claire") << "cells still reached by message";

    // The table's first row shows message 2: the actions address message 2.
    grid.setCurrentCell(0, 1);
    EXPECT_EQ(grid.CurrentRow(), 2);
    ScriptedPop3Server server(ScanLogin() + "C: RETR 2\n" + MultiLineReply("+OK", "From: Bruno\n\nCorps\n") +
                              Quit());
    UseServer(server);
    QTest::keyClick(&grid, Qt::Key_Return);  // Entrée: "Aperçu"
    server.ExpectFinished();
    EXPECT_EQ(form1.PreviewFields1->Sender->text(), "Bruno");
    EXPECT_EQ(form1.PreviewFields1->Subject->text(), "Sujet de Bruno");
}

TEST_F(WindowFixture, FriendAndIntruderRowsAreTintedFromThePalette) {
    ShowRecord(form1, {Row("", "Anne", 1, "A"), Row("", "Spam", 2, "I"), Row("", "Zoe", 3, "")});
    GridTable& grid = *form1.StringGrid1;
    const QColor base = grid.palette().color(QPalette::Base);
    const QColor friendRow = grid.item(0, 1)->background().color();
    const QColor intruderRow = grid.item(1, 1)->background().color();
    EXPECT_GT(friendRow.green(), friendRow.red()) << "green-ish";
    EXPECT_GT(intruderRow.red(), intruderRow.green()) << "red-ish";
    EXPECT_EQ(grid.item(2, 1)->background().style(), Qt::NoBrush) << "others keep the palette";
    EXPECT_EQ(grid.item(1, 4)->text(), "I") << "the letter stays";
    // A dark theme gives dark tints: the text stays readable.
    QPalette dark = grid.palette();
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    grid.setPalette(dark);
    EXPECT_LT(grid.item(1, 1)->background().color().lightness(), base.lightness());
    EXPECT_LT(grid.item(1, 1)->background().color().lightness(), 100);
}

// A friend whose provider says the mail is forged: a warning tint, the
// verdict on its status for the mouse and a screen reader, and in words
// beside the sender in the preview.
TEST_F(WindowFixture, DoubtfulFriendIsAWarningThatSaysWhy) {
    ScanRow row = Row("", "Claire", 1, "A?");
    row.authentication = SenderAuthentication::Failed;
    row.verdict = "dmarc=fail header.from=amis.fr";
    form1.Logic().RestoreRecord({row});
    GridTable& grid = *form1.StringGrid1;
    grid.SetRowCount(2);
    ShowRow(grid, 1, row);
    const QColor tint = grid.item(0, 1)->background().color();
    EXPECT_GT(tint.red(), tint.blue()) << "orange-ish";
    EXPECT_GT(tint.green(), tint.blue()) << "orange-ish";
    const QTableWidgetItem* status = grid.item(0, 4);
    EXPECT_EQ(status->text(), "A?");
    const QString note(
        "Raison : authentification refusée par le fournisseur : dmarc=fail header.from=amis.fr");
    EXPECT_EQ(status->toolTip(), note);
    EXPECT_EQ(status->data(Qt::AccessibleDescriptionRole).toString(), note);
    EXPECT_TRUE(status->data(Qt::AccessibleTextRole).toString().startsWith("ami douteux"));
    form1.PreviewFields1->Show(&row);
    EXPECT_TRUE(form1.PreviewFields1->Sender->text().startsWith("Claire — attention"))
        << form1.PreviewFields1->Sender->text().toStdString();
}

TEST_F(WindowFixture, TheWindowComesBackAsItClosed) {
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    Show();
    form1.resize(form1.width() + 120, form1.height() + 40);
    form1.StringGrid1->horizontalHeader()->moveSection(2, 0);  // "Sujet" first
    form1.StringGrid1->setColumnWidth(1, 333);
    form1.RxSpinEdit1->SetValue(0);
    const QSize size = form1.size();
    form1.close();

    VannoirWindows again(paths);
    TForm1& restored = *again.form1;
    EXPECT_EQ(restored.size(), size);
    EXPECT_EQ(restored.StringGrid1->horizontalHeader()->logicalIndex(0), 2);
    EXPECT_EQ(restored.StringGrid1->columnWidth(1), 333);
    EXPECT_EQ(restored.RxSpinEdit1->Value(), 0) << "the last account";
    EXPECT_NE(FileBytes(paths.settings).find("[Form]\r\nNbre=1\r\n"), std::string::npos)
        << "the accounts stay";
}

TEST_F(WindowFixture, KeysReachTheMenusAndTheActions) {
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    Show();
    // Each menu, the bar included: every entry has a letter, no letter twice
    // (a letter used twice only moves the highlight).
    std::function<void(const QList<QAction*>&)> checkLetters = [&](const QList<QAction*>& entries) {
        std::map<QChar, QString> taken;
        for (QAction* entry : entries) {
            if (entry->isSeparator()) continue;
            const QString text = entry->text();
            const qsizetype amp = text.indexOf('&');
            ASSERT_TRUE(amp >= 0 && amp + 1 < text.size()) << text.toStdString();
            const QChar letter = text.at(amp + 1).toLower();
            EXPECT_FALSE(taken.count(letter))
                << "\"" << text.toStdString() << "\" and \"" << taken[letter].toStdString() << "\"";
            taken[letter] = text;
            if (entry->menu()) checkLetters(entry->menu()->actions());
        }
    };
    checkLetters(form1.menuBar()->actions());

    // Alt+F opens "Fichier".
    QTest::keyClick(&form1, Qt::Key_F, Qt::AltModifier);
    QCoreApplication::processEvents();
    EXPECT_TRUE(MenuItem({"Fichier"})->menu()->isVisible());
    MenuItem({"Fichier"})->menu()->close();

    // F5 scans.
    ScriptedPop3Server server(ScanOf({}));
    UseServer(server);
    QTest::keyClick(&form1, Qt::Key_F5);
    server.ExpectFinished();

    // Esc closes the about box and a list; the configuration keeps it.
    for (FixedDialog* dialog :
         {static_cast<FixedDialog*>(windows.form4.get()), static_cast<FixedDialog*>(windows.form2.get())}) {
        bool closed = false;
        QTimer::singleShot(0, [&] {
            QTest::keyClick(dialog, Qt::Key_Escape);
            closed = !dialog->isVisible();
            if (!closed) dialog->close();
        });
        dialog->Execute();
        EXPECT_TRUE(closed) << dialog->windowTitle().toStdString();
    }
    WhileModal(
        windows.form3.get(), [&] { windows.form3->Execute(); },
        [&] {
            QTest::keyClick(windows.form3.get(), Qt::Key_Escape);
            EXPECT_TRUE(windows.form3->isVisible());
        });
}

struct HtmlCase {
    const char* name;
    std::string message;
    std::vector<std::string> shown, hidden;
};
const HtmlCase kHtml[] = {
    {"html_only_as_text",
     "From: Anne\nContent-Type: text/html; charset=us-ascii\n\n<html><body><p>Bonjour <b>Anne</b></p>"
     "<img src=\"http://127.0.0.1:1/suivi.png\"></body></html>\n",
     {"Bonjour Anne"},
     {"<p>", "<b>"}},
    {"alternatives_show_the_plain_text",
     "From: Anne\nMIME-Version: 1.0\nContent-Type: multipart/alternative; boundary=\"b\"\n\n--b\n"
     "Content-Type: text/plain\n\nTexte simple\n--b\nContent-Type: text/html\n\n<p>Texte riche</p>\n--b--\n",
     {"Texte simple"},
     {"Texte riche", "<p>Texte riche</p>"}},
};
class HtmlPreview : public WindowFixture, public testing::WithParamInterface<HtmlCase> {};
TEST_P(HtmlPreview, ThePaneShowsWhatAReaderReads) {
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    Show();
    ScriptedPop3Server server(ScanLogin() + "C: RETR 1\n" + MultiLineReply("+OK", GetParam().message) +
                              Quit());
    UseServer(server);
    QTest::mouseClick(form1.BitBtn2, Qt::LeftButton);
    server.ExpectFinished();
    std::string pane;
    for (const std::string& line : form1.Memo1->Lines()) pane += std::string(line) + "\n";
    for (const std::string& text : GetParam().shown) EXPECT_NE(pane.find(text), std::string::npos) << pane;
    for (const std::string& text : GetParam().hidden) EXPECT_EQ(pane.find(text), std::string::npos) << pane;
}
INSTANTIATE_TEST_SUITE_P(Table, HtmlPreview, testing::ValuesIn(kHtml),
                         [](const auto& info) { return std::string(info.param.name); });

// Tab reaches the grid and the pane, and the user sees where the focus is:
// a rectangle on the grid's current cell, the grid's or the pane's frame
// highlighted.
TEST_F(WindowFixture, TabShowsWhereTheFocusIs) {
    Show();
    ShowRecord(form1, {Row("Fri, 04 Dec 2026 17:45:00 +0100", "Anne", 100, ""),
                       Row("Fri, 04 Dec 2026 17:46:00 +0100", "Bruno", 200, "")});
    GridTable& grid = *form1.StringGrid1;
    PreviewMemo& pane = *form1.Memo1;
    grid.setCurrentCell(1, 2);
    form1.BitBtn5->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(form1.BitBtn5, Qt::Key_Tab);
    ASSERT_TRUE(grid.hasFocus());
    const QRect cell = grid.visualRect(grid.currentIndex());
    const QImage cellFocused = grid.viewport()->grab(cell).toImage();
    // The frames only: the pane's text cursor blinks inside it.
    const QRect frame(0, 0, 2, pane.height());
    const QImage gridFocused = grid.grab(frame).toImage();
    const QImage paneUnfocused = pane.grab(frame).toImage();

    for (int tab = 0; tab < 5 && !pane.hasFocus(); ++tab)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(pane.hasFocus()) << "Tab leaves the grid and goes on to the pane";
    EXPECT_EQ(grid.currentRow(), 1) << "Tab does not move through the cells";
    EXPECT_NE(grid.viewport()->grab(cell).toImage(), cellFocused)
        << "the focus rectangle on the current cell";
    EXPECT_NE(grid.grab(frame).toImage(), gridFocused) << "the grid's frame";
    EXPECT_NE(pane.grab(frame).toImage(), paneUnfocused) << "the pane's frame";
}

// A desktop that opens nothing: the help and the journal open inside.
RecordingShell& NoDesktopProgram(TForm1& form1) {
    auto shell = std::make_unique<RecordingShell>();
    shell->fails = true;
    RecordingShell& opener = *shell;
    form1.UseShell(std::move(shell));
    return opener;
}

TEST_F(WindowFixture, WithoutADesktopProgramTheHelpOpensInItsWindow) {
    Show();
    RecordingShell& opener = NoDesktopProgram(form1);
    PutFile(dir / "secret.htm", "<p>Hors de l'aide</p>");
    PutFile(dir / "Aide" / "Suite.htm", "<p>Suite</p><p><a name=\"fin\">Fin</a></p>");
    PutFile(dir / "Aide" / "Accueil.htm",
            "<h1>Sommaire</h1><p><a href=\"Suite.htm#fin\">suite</a> <a href=\"../secret.htm\">dehors</a>"
            " <img src=\"http://127.0.0.1:9/loin.png\"></p>");
    QTest::keyClick(&form1, Qt::Key_F1);
    ASSERT_EQ(opener.opened, std::vector<std::filesystem::path>{dir / "Aide" / "Accueil.htm"});
    auto* help = form1.findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->Browser->toPlainText().startsWith("Sommaire"))
        << help->Browser->toPlainText().toStdString();
    EXPECT_FALSE(
        help->Browser->loadResource(QTextDocument::ImageResource, QUrl("http://127.0.0.1:9/loin.png"))
            .isValid())
        << "nothing from the network";

    emit help->Browser->anchorClicked(QUrl("../secret.htm"));
    EXPECT_TRUE(help->Browser->toPlainText().startsWith("Sommaire")) << "a link out of the help folder";
    emit help->Browser->anchorClicked(QUrl("Suite.htm#fin"));
    EXPECT_EQ(help->Browser->toPlainText(), "Suite\nFin") << "a link inside it";
    EXPECT_EQ(help->Browser->source().fragment(), "fin");

    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help->Browser, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}

TEST_F(WindowFixture, WithoutADesktopProgramTheJournalIsATable) {
    Show();
    NoDesktopProgram(form1);
    ScanRow row;
    row.name = "Spam";
    row.address = "s@pub.example";
    row.subject = "Promo\tdu jour";
    row.size = 300;
    row.authentication = SenderAuthentication::Failed;
    Account account;
    account.user = "anne";
    account.host = "pop.example";
    account.port = 995;
    TDateTime day = 0, time = 0;
    ASSERT_TRUE(TryEncodeDate(2026, 12, 4, day) && TryEncodeTime(17, 45, 3, 0, time));
    AppendToJournal(paths.journal, day + time, account, {{row, DeletionKind::Purge, "non conservé"}});
    MenuItem({"Fichier", "Journal des suppressions"})->trigger();
    auto* journal = form1.findChild<JournalWindow*>();
    ASSERT_NE(journal, nullptr);
    EXPECT_TRUE(journal->isVisible());
    QTableWidget& table = *journal->Table;
    ASSERT_EQ(table.rowCount(), 1);
    std::vector<QString> cells;
    for (int c = 0; c < table.columnCount(); ++c)
        cells.push_back(table.horizontalHeaderItem(c)->text() + "=" + table.item(0, c)->text());
    EXPECT_EQ(cells,
              (std::vector<QString>{
                  "Supprimé le=04/12/2026 17:45:03", "Utilisateur=anne", "Serveur=pop.example:995",
                  "Date, heure=", "Expéditeur=Spam <s@pub.example>", "Sujet=Promo du jour", "Taille=300",
                  "Action=purge des intrus", "Copie=non conservé", "Authentification=echec"}));
    EXPECT_EQ(table.editTriggers(), QAbstractItemView::NoEditTriggers) << "read-only";
    ASSERT_TRUE(QTest::qWaitForWindowActive(journal));
    QTest::keyClick(&table, Qt::Key_Escape);
    EXPECT_FALSE(journal->isVisible());

    // The Corbeille's Esc is its own too, not the main window's "Arrêter".
    form1.Corbeille1Click();
    CorbeilleWindow* corbeille = form1.Corbeille();
    ASSERT_NE(corbeille, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(corbeille));
    QTest::keyClick(corbeille->List, Qt::Key_Escape);
    EXPECT_FALSE(corbeille->isVisible());
}

// What a screen reader reads of a control: its accessible name.
QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

TEST_F(WindowFixture, EveryControlOfEveryWindowHasANameAndADescription) {
    // The windows made on first use: the Corbeille, and the help and the
    // journal of a desktop that opens neither.
    Show();
    NoDesktopProgram(form1);
    PutFile(paths.journal, "x\r\n");
    form1.Corbeille1Click();
    form1.Sommaire1Click();
    form1.Journal1Click();
    std::vector<QWidget*> windowsToWalk = {&form1,
                                           windows.form2.get(),
                                           windows.form3.get(),
                                           windows.form4.get(),
                                           windows.form5.get(),
                                           form1.Corbeille(),
                                           form1.findChild<HelpWindow*>(),
                                           form1.findChild<JournalWindow*>()};
    int walked = 0;
    for (QWidget* window : windowsToWalk) {
        ASSERT_NE(window, nullptr);
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            // Interactive: the keyboard reaches it. The up-down buttons of a
            // number box and the scroll bars belong to their box.
            if (widget->focusPolicy() == Qt::NoFocus || !widget->isEnabled()) continue;
            if (widget->window() != window) continue;  // a menu's or a list's popup
            if (widget->inherits("QScrollBar") || widget->inherits("QHeaderView")) continue;
            if (widget->parentWidget() && widget->parentWidget()->inherits("QAbstractSpinBox")) continue;
            if (widget->parentWidget() && widget->parentWidget()->inherits("QComboBox")) continue;
            if (widget->inherits("QMenu") || widget->inherits("QMenuBar")) continue;
            ++walked;
            const std::string where = window->windowTitle().toStdString() + " / " +
                                      widget->metaObject()->className() + " " +
                                      widget->objectName().toStdString();
            EXPECT_FALSE(AccessibleName(widget).trimmed().isEmpty()) << where;
            EXPECT_FALSE(widget->accessibleDescription().isEmpty()) << where;
        }
    }
    EXPECT_GE(walked, 25) << "every window walked";
    EXPECT_EQ(windows.form3->Label1->buddy(), windows.form3->Edit1) << "labels linked to their fields";
}

}  // namespace
