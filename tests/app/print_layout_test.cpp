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
    EXPECT_EQ(printer.TextsPerPage(300), GetParam().pages);
    EXPECT_EQ(printer.log[2], "font Sans 8");
    if (GetParam().lines > 66) {
        const Strings texts = printer.Texts();
        EXPECT_NE(std::find(texts.begin(), texts.end(), "300,300:ligne 66"), texts.end())
            << "a new page starts at 300";
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
    EXPECT_EQ(printer.Texts(), (Strings{"4430,134:page 1/1", "300,300:De : Anne", "300,488:Bonjour \xE9"}));
    EXPECT_EQ(printer.log[2], "font Sans 9");
}

TEST_F(MailboxFixture, PrintFailureAbortsTheJobShowsTheCauseAndRestoresOrientation) {
    window.preview.lines = {"a", "b", "c"};
    RecordingPrinter printer;
    printer.failAtText = 5;  // "b", after the heading's three texts and "a"
    Outcome outcome = screener.PrintMessage(printer);
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(window.dialogs.shown, Strings{"standard: panne."});
    EXPECT_EQ(Strings(printer.log.end() - 3, printer.log.end()),
              (Strings{"text 300,300:a", "abort", "landscape"}));
}

// Pieces by a measure of 10 per character, at most 60 wide.
struct WrapCase {
    const char* name;
    std::string line;
    Strings pieces;
};
const WrapCase kWraps[] = {
    {"fits_whole", "un de", {"un de"}},
    {"exactly_the_width", "abcdef", {"abcdef"}},
    {"empty_stays_one_line", "", {""}},
    {"cut_at_the_last_space_that_fits", "un deux trois quatre", {"un", "deux", "trois", "quatre"}},
    {"space_right_after_the_head", "abcdef ghi", {"abcdef", "ghi"}},
    {"long_word_broken", "abcdefghijklmnop", {"abcdef", "ghijkl", "mnop"}},
    {"long_word_after_a_short_one", "a bcdefghij", {"a", "bcdefg", "hij"}},
    {"spaces_at_a_cut_dropped", "abc    def   ghijk", {"abc", "def", "ghijk"}},
    {"indent_kept_on_the_first_piece", "  abcdefgh", {"  abcd", "efgh"}},
    {"characters_never_split",
     "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
     {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "\xC3\xA9"}},
};
class Wrap : public testing::TestWithParam<WrapCase> {};
TEST_P(Wrap, PiecesFitTheWidth) {
    const auto measure = [](std::string_view text) {
        int characters = 0;
        for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return characters * 10;
    };
    EXPECT_EQ(WrapToWidth(GetParam().line, 60, measure), GetParam().pieces);
}
INSTANTIATE_TEST_SUITE_P(Table, Wrap, testing::ValuesIn(kWraps),
                         [](const auto& info) { return std::string(info.param.name); });

// A long paragraph wrapped to the page, its pages counted from the wrapped
// lines, and the previewed message named at the top of each page.
TEST_F(MailboxFixture, MessagePrintWrapsToThePageAndHeadsEveryPage) {
    ScriptedPop3Server server(
        ScanOf({Header("Anne <anne@example.fr>", "Rapport")}) + kNextSession + ScanLogin() +
        Retr(1, "From: Anne <anne@example.fr>\r\nSubject: Rapport\r\n\r\nx\r\n") + Quit());
    UseServer(server);
    screener.Scan();
    ASSERT_TRUE(screener.Preview(1).IsDone());
    server.ExpectFinished();
    std::string paragraph;
    for (int word = 0; word < 300; ++word) paragraph += (word ? " mot" : "mot") + IntToStr(word);
    window.preview.lines = {paragraph};
    RecordingPrinter printer;
    printer.pageWidth = 300 + 2000 + 120;  // 50 characters of 40
    printer.pageHeight = 300 + 40 * 94;
    EXPECT_TRUE(screener.PrintMessage(printer).IsDone());
    std::string printed;
    int pages = 0;
    for (const std::string& text : printer.Texts()) {
        const int x = std::stoi(text), y = std::stoi(text.substr(text.find(',') + 1));
        const std::string shown = text.substr(text.find(':') + 1);
        if (y >= 300) {
            EXPECT_LE(x + printer.TextWidth(shown), 300 + 2000) << shown;
            printed += shown + " ";
        } else if (y == 40) {
            EXPECT_EQ(shown, "Rapport");
            ++pages;
        }
    }
    EXPECT_EQ(printed, paragraph + " ") << "every word once, in order";
    EXPECT_EQ(pages, static_cast<int>(printer.TextsPerPage().size()));
    ASSERT_GE(pages, 2);
    const Strings texts = printer.Texts();
    const std::string last = "page " + IntToStr(pages) + "/" + IntToStr(pages);
    EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                           [&](const std::string& text) { return text.ends_with(":" + last); }),
              texts.end());
    EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                           [](const std::string& text) {
                               return text.starts_with("300,134:Anne") &&
                                      text.find("anne@127.0.0.1:") != std::string::npos;
                           }),
              texts.end())
        << "sender, date and account under the subject";
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
