// The main window on a desktop: sorting by a heading, the window restored
// as it closed, the keys that reach the actions, the tinted rows, and a
// name for every control a screen reader reaches.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>

#include "app/scan_cells.h"
#include "platform/text.h"
#include "support/pop3_script_pieces.h"
#include "ui/about_dialog.h"
#include "ui/config_dialog.h"
#include "ui/grid_table.h"
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
    row.status = status == "I"   ? SenderStatus::Intruder
                 : status == "A" ? SenderStatus::Friend
                                 : SenderStatus::None;
    row.date = ReadMessageDate(date, 0);
    return row;
}

// Shows `record` in the grid as a scan would.
void ShowRecord(TForm1& form1, const ScanRecord& record) {
    form1.Logic().RestoreRecord(record);
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
    for (QAction* menu : form1.menuBar()->actions())
        EXPECT_TRUE(menu->text().contains('&')) << menu->text().toStdString();
    for (QAction* item : MenuItem({"Actions"})->menu()->actions())
        EXPECT_TRUE(item->isSeparator() || item->text().contains('&')) << item->text().toStdString();

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

// What a screen reader reads of a control: its accessible name.
QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

TEST_F(WindowFixture, EveryControlOfEveryWindowHasANameAndADescription) {
    std::vector<QWidget*> windowsToWalk = {&form1, windows.form2.get(), windows.form3.get(),
                                           windows.form4.get(), windows.form5.get()};
    int walked = 0;
    for (QWidget* window : windowsToWalk) {
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
