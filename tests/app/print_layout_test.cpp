#include "app/print_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "mailbox_script.h"
#include "platform/text.h"
#include "support/recording_printer.h"

namespace {

using Strings = std::vector<std::string>;

TEST_F(MailboxFixture, GridPrintAfterStartUpHoldsOnlyTheBoldHeadingRow) {
    RecordingPrinter printer;
    EXPECT_TRUE(screener.PrintGrid(printer).IsDone());
    EXPECT_EQ(printer.Texts(), (Strings{"260,300:Date, heure", "950,300:" + std::string("Expéditeur"),
                                        "2000,300:Sujet", "4000,300:Taille", "4450,300:Statut"}));
    const Strings& log = printer.log;
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ((Strings{log[0], log[1], log[2]}), (Strings{"portrait", "begin", "font Arial 10 bold"}));
    EXPECT_EQ(log[3], "text 60,300:") << "column 0's empty heading is drawn too";
    EXPECT_EQ(log[9], "font Arial 10") << "normal after the heading row";
    EXPECT_EQ(log[8], "text 4450,300:Statut");
    EXPECT_EQ(printer.TextsPerPage(), std::vector<int>{6}) << "no row below the headings holds a text";
    EXPECT_EQ((Strings{log[log.size() - 2], log.back()}), (Strings{"end", "landscape"}));
    EXPECT_TRUE(window.dialogs.shown.empty());
}

TEST_F(MailboxFixture, GridPrintBreaksPagesByTheirHeightAndRepeatsTheHeadings) {
    for (int row = 1; row <= 5; ++row) window.grid.SetRow(row, {IntToStr(row), "", "Anne", "", "", ""});
    RecordingPrinter printer;
    printer.pageHeight = 300 + 3 * 94;  // the headings and two rows
    screener.PrintGrid(printer);
    EXPECT_EQ(printer.TextsPerPage(), (std::vector<int>{18, 18, 12}));
    const Strings texts = printer.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "2000,300:Sujet"), 3) << "headings on every page";
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "60,394:3"), 1) << "row 3 first on page 2";
}

TEST_F(MailboxFixture, GridPrintWritesEachFieldAtItsColumn) {
    window.grid.SetRow(2, {"2", "07/09/01", "Anne", "Salut", "1234", "A"});
    RecordingPrinter printer;
    screener.PrintGrid(printer);
    const Strings texts = printer.Texts();
    EXPECT_EQ(Strings(texts.end() - 6, texts.end()),
              (Strings{"60,488:2", "260,488:07/09/01", "950,488:Anne", "2000,488:Salut", "4000,488:1234",
                       "4450,488:A"}));
}

struct PageCase {
    const char* name;
    int lines;
    std::vector<int> pages;
};
const PageCase kPages[] = {
    {"lines_65_one_page", 65, {65}},
    {"lines_66_fill_the_first_page_then_an_empty_one", 66, {66, 0}},
    {"lines_67_one_on_the_second_page", 67, {66, 1}},
    {"lines_130_pages_of_66_and_64", 130, {66, 64}},
    {"no_line_one_empty_page", 0, {0}},
};
class MessagePages : public testing::TestWithParam<PageCase> {};
TEST_P(MessagePages, FollowTheSixtyFiveLineRule) {
    Strings lines;
    for (int i = 0; i < GetParam().lines; ++i) lines.push_back("ligne " + IntToStr(i));
    RecordingPrinter printer;
    PrintMessageLines(printer, lines, {"Sans", 8});
    EXPECT_EQ(printer.TextsPerPage(), GetParam().pages);
    EXPECT_EQ(printer.log[2], "font Sans 8");
    if (GetParam().lines > 66) {
        EXPECT_EQ(printer.Texts()[66], "300,300:ligne 66") << "a new page starts at 300";
    }
    EXPECT_EQ(printer.orientation, PrinterOrientation::Landscape);
}
INSTANTIATE_TEST_SUITE_P(Table, MessagePages, testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxFixture, MessagePrintUsesThePaneAsTheUserLeftIt) {
    window.preview.lines = {"De : Anne", "", "Bonjour \xE9"};
    window.preview.font = {"Sans", 9};
    RecordingPrinter printer;
    EXPECT_TRUE(screener.PrintMessage(printer).IsDone());
    EXPECT_EQ(printer.Texts(), (Strings{"300,300:De : Anne", "300,488:Bonjour \xE9"}));
    EXPECT_EQ(printer.log[2], "font Sans 9");
}

TEST_F(MailboxFixture, PrintFailureAbortsTheJobShowsTheCauseAndRestoresOrientation) {
    window.preview.lines = {"a", "b", "c"};
    RecordingPrinter printer;
    printer.failAtText = 2;
    Outcome outcome = screener.PrintMessage(printer);
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(window.dialogs.shown, Strings{"standard: panne."});
    EXPECT_EQ(printer.log,
              (Strings{"portrait", "begin", "font MS Sans Serif 8", "text 300,300:a", "abort", "landscape"}));
}

TEST_F(MailboxFixture, NoDefaultPrinterPrintsNothing) {
    RecordingPrinter printer;
    printer.noDefault = true;
    EXPECT_TRUE(screener.PrintGrid(printer).IsFailed());
    EXPECT_EQ(window.dialogs.shown,
              Strings{"standard: " + std::string("Aucune imprimante par défaut sélectionnée.")});
    EXPECT_TRUE(printer.log.empty());
}

TEST_F(MailboxFixture, HelpOpensThePageBesideTheProgram) {
    RecordingShell shell;
    FakeDocuments documents;
    screener.OpenHelp(shell, documents);
    EXPECT_EQ(shell.opened, std::vector<std::filesystem::path>{dir / "Aide" / "Accueil.htm"});
    EXPECT_TRUE(documents.help.empty());
    shell.fails = true;
    screener.OpenHelp(shell, documents);
    EXPECT_EQ(documents.help, std::vector<std::filesystem::path>{dir / "Aide" / "Accueil.htm"})
        << "no desktop program for it: the help window";
}

}  // namespace
