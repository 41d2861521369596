// The prints through Qt Print Support, read back from the PDF they make
// (poppler-utils), and through a private print server.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <thread>

#include "app/corbeille.h"
#include "platform/text.h"
#include "ui/corbeille_dialog.h"
#include "ui/grid_table.h"
#include "ui/preview_memo.h"
#include "ui/qt_printer.h"
#include "window_fixture.h"

namespace {

// Device pixels of a 600 dpi printer in PDF points.
constexpr double kPoint = 72.0 / 600.0;

std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
}

struct Word {
    std::string text;
    double x, y;
};

// Every word of the PDF with the top left of its box, in points.
std::vector<Word> Words(const std::filesystem::path& pdf) {
    std::vector<Word> words;
    const std::string html = Output("pdftotext -bbox '" + pdf.string() + "' - 2>/dev/null");
    static const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it)
        words.push_back({(*it)[3], std::stod((*it)[1]), std::stod((*it)[2])});
    return words;
}

const Word& Find(const std::vector<Word>& words, const std::string& text) {
    static const Word none{"", NAN, NAN};
    for (const Word& word : words)
        if (word.text == text) return word;
    ADD_FAILURE() << "no word " << text;
    return none;
}

int Pages(const std::filesystem::path& pdf) {
    std::smatch match;
    const std::string info = Output("pdfinfo '" + pdf.string() + "' 2>/dev/null");
    return std::regex_search(info, match, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(match[1]) : -1;
}

struct PrintFixture : WindowFixture {
    // The window's prints go to a 600 dpi PDF; returns its path.
    std::filesystem::path PrintToPdf(const std::string& name, PrinterOrientation before) {
        const std::filesystem::path pdf = dir / name;
        auto printer = std::make_unique<QtPrinter>(QString::fromStdString(pdf.string()), 600);
        printer->SetOrientation(before);
        printer_ = printer.get();
        form1.UsePrinter(std::move(printer));
        return pdf;
    }
    QtPrinter* printer_ = nullptr;
};

TEST_F(PrintFixture, GridAtItsColumnsWithABoldHeadingRow) {
    const auto pdf = PrintToPdf("grille.pdf", PrinterOrientation::Landscape);
    form1.StringGrid1->SetRowCount(3);
    form1.StringGrid1->SetRow(2, {"2", "07/09/01", "Anne", "Salut", "1234", "A"});
    MenuItem({"Fichier", "Imprimer", "en-têtes"})->trigger();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Pages(pdf), 1) << "no page break";
    const std::vector<Word> words = Words(pdf);
    const Word &date = Find(words, "Date,"), &subject = Find(words, "Sujet"), &size = Find(words, "Taille");
    EXPECT_NEAR(subject.x - date.x, (2000 - 260) * kPoint, 0.5);
    EXPECT_NEAR(size.x - subject.x, (4000 - 2000) * kPoint, 0.5);
    EXPECT_NEAR(Find(words, "Anne").x - date.x, (950 - 260) * kPoint, 0.5);
    EXPECT_NEAR(Find(words, "2").x - date.x, (60 - 260) * kPoint, 0.5);
    EXPECT_NEAR(Find(words, "Salut").y - subject.y, 2 * 94 * kPoint, 0.5) << "line step 94";
    const std::string fonts = Output("pdffonts '" + pdf.string() + "'");
    EXPECT_NE(fonts.find("Bold"), std::string::npos) << fonts;
    EXPECT_EQ(printer_->Orientation(), PrinterOrientation::Landscape) << "put back";
}

// Every word of each page with its box, in points.
struct Box {
    std::string text;
    double x0, y0, x1, y1;
};
struct Page {
    double width, height;
    std::vector<Box> words;
};
std::vector<Page> PageWords(const std::string& bbox) {
    std::vector<Page> pages;
    static const std::regex item(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (std::sregex_iterator it(bbox.begin(), bbox.end(), item), end; it != end; ++it) {
        const std::smatch& m = *it;
        if (m[1].matched)
            pages.push_back({std::stod(m[1]), std::stod(m[2]), {}});
        else if (!pages.empty())
            pages.back().words.push_back(
                {m[7], std::stod(m[3]), std::stod(m[4]), std::stod(m[5]), std::stod(m[6])});
    }
    return pages;
}

// The grid printed at 300, 600 and 1200 dpi, its long cells cut and its rows
// over several pages, reads the same and never overlaps itself.
class GridPrintResolution : public PrintFixture, public testing::WithParamInterface<int> {};
TEST_P(GridPrintResolution, NoOverlapEveryRowOnAPageSameText) {
    const int rows = 150;
    form1.StringGrid1->SetRowCount(rows + 1);
    for (int row = 1; row <= rows; ++row)
        form1.StringGrid1->SetRow(
            row, {IntToStr(row), "04/12/26 " + std::string("à") + " 17:45",
                  "Expediteur-au-nom-interminable-" + IntToStr(row) + "@exemple.fr",
                  "Sujet" + IntToStr(row) + " tres long qui deborde largement de sa colonne imprimee",
                  "123456", "I"});
    const std::filesystem::path pdf = dir / ("grille" + IntToStr(GetParam()) + ".pdf");
    auto printer = std::make_unique<QtPrinter>(QString::fromStdString(pdf.string()), GetParam());
    form1.UsePrinter(std::move(printer));
    MenuItem({"Fichier", "Imprimer", "en-têtes"})->trigger();
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    const std::vector<Page> pages = PageWords(Output("pdftotext -bbox '" + pdf.string() + "' - 2>/dev/null"));
    ASSERT_GT(pages.size(), 1u) << "150 rows take more than a page";
    std::vector<std::string> numbers;
    for (const Page& page : pages) {
        // The numbers are left of the heading "Date," that tops each page.
        double dateX = 0;
        for (const Box& word : page.words)
            if (word.text == "Date,") dateX = word.x0;
        EXPECT_GT(dateX, 0) << "a heading row on every page";
        for (std::size_t i = 0; i < page.words.size(); ++i) {
            const Box& a = page.words[i];
            EXPECT_TRUE(a.x0 >= 0 && a.y0 >= 0 && a.x1 <= page.width && a.y1 <= page.height) << a.text;
            if (a.x0 < dateX - 1) numbers.push_back(a.text);
            for (std::size_t j = i + 1; j < page.words.size(); ++j) {
                const Box& b = page.words[j];
                const bool overlap =
                    a.x0 < b.x1 - 0.1 && b.x0 < a.x1 - 0.1 && a.y0 < b.y1 - 0.1 && b.y0 < a.y1 - 0.1;
                EXPECT_FALSE(overlap) << a.text << " over " << b.text;
            }
        }
    }
    std::vector<std::string> expected;
    for (int row = 1; row <= rows; ++row) expected.push_back(IntToStr(row));
    EXPECT_EQ(numbers, expected) << "every row once, in order";
    // The same words as at 600 dpi.
    static std::map<int, std::string> texts;
    texts[GetParam()] = Output("pdftotext '" + pdf.string() + "' - 2>/dev/null");
    EXPECT_NE(texts[GetParam()].find("…"), std::string::npos) << "long cells end with the mark";
    if (texts.count(600) && GetParam() != 600) {
        EXPECT_EQ(texts[GetParam()], texts[600]);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, GridPrintResolution, testing::Values(600, 300, 1200),
                         [](const auto& info) { return "dpi_" + std::to_string(info.param); });

struct PageCase {
    int lines, pages;
};
class MessagePrint : public PrintFixture, public testing::WithParamInterface<PageCase> {};
TEST_P(MessagePrint, PagesFollowTheSixtyFiveLineRule) {
    const auto pdf = PrintToPdf("message.pdf", PrinterOrientation::Portrait);
    form1.Memo1->Clear();
    for (int i = 0; i < GetParam().lines; ++i) form1.Memo1->AppendLine("ligne" + IntToStr(i));
    MenuItem({"Fichier", "Imprimer", "message"})->trigger();
    EXPECT_EQ(Pages(pdf), GetParam().pages);
    const std::vector<Word> words = Words(pdf);
    EXPECT_NEAR(Find(words, "ligne1").y - Find(words, "ligne0").y, 94 * kPoint, 0.5);
    if (GetParam().lines > 66) {
        EXPECT_NEAR(Find(words, "ligne66").y, Find(words, "ligne0").y, 0.5) << "a new page starts at 300";
    }
}
INSTANTIATE_TEST_SUITE_P(Table, MessagePrint,
                         testing::Values(PageCase{65, 1}, PageCase{66, 2}, PageCase{67, 2}, PageCase{130, 2}),
                         [](const auto& info) { return "lines_" + std::to_string(info.param.lines); });

// Every word of `pages` at or below `top` points, in order, each checked to
// end inside its page.
std::vector<std::string> BodyWords(const std::vector<Page>& pages, double top) {
    std::vector<std::string> words;
    for (const Page& page : pages)
        for (const Box& word : page.words) {
            EXPECT_LE(word.x1, page.width) << word.text << " runs past the right edge";
            if (word.y0 >= top) words.push_back(word.text);
        }
    return words;
}

// A long paragraph and a word longer than the page come out whole, wrapped
// inside the page, with the page's number above on each page.
TEST_F(PrintFixture, MessageWrappedWholeInsideThePage) {
    const auto pdf = PrintToPdf("long.pdf", PrinterOrientation::Portrait);
    std::string paragraph, expected;
    for (int word = 0; word < 1000; ++word)
        paragraph += (word ? " adipiscing" : "adipiscing") + IntToStr(word);
    const std::string longWord(300, 'x');
    form1.Memo1->Clear();
    form1.Memo1->AppendLine(paragraph);
    form1.Memo1->AppendLine(longWord);
    MenuItem({"Fichier", "Imprimer", "message"})->trigger();
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    const std::vector<Page> pages = PageWords(Output("pdftotext -bbox '" + pdf.string() + "' - 2>/dev/null"));
    ASSERT_GE(pages.size(), 2u) << "1000 words take more than a page of 66 lines";
    const std::vector<std::string> words = BodyWords(pages, 300 * kPoint - 1);
    std::string joined;
    for (const std::string& word : words) joined += word;
    std::string all;
    for (int word = 0; word < 1000; ++word) all += "adipiscing" + IntToStr(word);
    EXPECT_EQ(joined, all + longWord) << "every word once, in order; the long word broken, not cut";
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const std::string number = IntToStr(page + 1) + "/" + IntToStr(pages.size());
        EXPECT_TRUE(
            std::any_of(pages[page].words.begin(), pages[page].words.end(),
                        [&](const Box& word) { return word.text == number && word.y0 < 300 * kPoint; }))
            << "page " << number;
    }
}

// The Corbeille's preview names the message, and its print carries the
// same heading as the main window's: subject, sender, date, account.
TEST_F(PrintFixture, CorbeillePreviewAndPrintNameTheMessage) {
    {
        Corbeille corbeille(paths.corbeille, {});
        CorbeilleEntry entry;
        entry.deletedAt = 1800000000;
        entry.account = "anne@pop.exemple.fr:110";
        auto copy = corbeille.Begin(entry);
        copy->Append(
            "From: Spam <s@pub.example>\r\nSubject: Promo du jour\r\n"
            "Date: Tue, 8 Dec 2026 10:00:00 +0000\r\n\r\nAchetez maintenant.\r\n");
        corbeille.Sync({copy->Keep()});
    }
    const auto pdf = PrintToPdf("corbeille.pdf", PrinterOrientation::Portrait);
    form1.Corbeille1Click();
    CorbeilleWindow& window = *form1.Corbeille();
    window.List->selectRow(0);
    QTest::mouseClick(window.PreviewButton, Qt::LeftButton);
    const QString pane = window.Pane->toPlainText();
    EXPECT_TRUE(pane.startsWith(QString::fromUtf8("Sujet : Promo du jour\nDate : 08/12/26")))
        << pane.toStdString();
    QTest::mouseClick(window.PrintButton, Qt::LeftButton);
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    const std::string text = Output("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null");
    for (const char* shown :
         {"Promo du jour", "Spam", "08/12/26", "anne@pop.exemple.fr:110", "page 1/1", "Achetez maintenant."})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
}

TEST_F(PrintFixture, AFailedJobShowsItsCauseAndPutsTheOrientationBack) {
    const auto pdf = PrintToPdf("absent/grille.pdf", PrinterOrientation::Landscape);
    MenuItem({"Fichier", "Imprimer", "en-têtes"})->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind("Impossible de commencer l'impression", 0), 0u)
        << boxes.shown[0].text;
    EXPECT_EQ(printer_->Orientation(), PrinterOrientation::Landscape);
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

// The print server is chosen before the window asks for its printer: the
// printing system reads it once.
template <const char* (*Server)()>
struct PrintServerFixture : WindowFixture {
    static void SetUpTestSuite() { ::setenv("CUPS_SERVER", Server(), 1); }
};

const std::filesystem::path kCupsFolder = VANNOIR_CUPS_DIR;
const char* PrivateServer() {
    static std::string server;
    std::ifstream(kCupsFolder / "server") >> server;
    return server.c_str();
}
const char* NoServer() { return "127.0.0.1:1"; }  // nothing listens there

// The default printer of the private print server the tests start receives
// the job as a PDF.
using PrivatePrintServer = PrintServerFixture<PrivateServer>;
// The text of every job the queue has kept so far, once `count` are there
// (bounded wait).
std::vector<std::string> Jobs(const std::filesystem::path& out, std::size_t count) {
    std::vector<std::filesystem::path> jobs;
    for (int wait = 0; wait < 200 && jobs.size() < count; ++wait) {
        jobs.clear();
        for (const auto& entry : std::filesystem::directory_iterator(out))
            if (entry.path().extension() == ".pdf") jobs.push_back(entry.path());
        if (jobs.size() < count) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::sort(jobs.begin(), jobs.end());
    std::vector<std::string> texts;
    for (const auto& job : jobs) texts.push_back(Output("pdftotext '" + job.string() + "' -"));
    return texts;
}

TEST_F(PrivatePrintServer, BothPrintsReachTheDefaultPrinter) {
    if (std::string(PrivateServer()).empty()) GTEST_SKIP() << "no private print server";
    const std::filesystem::path out = kCupsFolder / "out";
    for (const auto& entry : std::filesystem::directory_iterator(out)) std::filesystem::remove(entry.path());
    MenuItem({"Fichier", "Imprimer", "en-têtes"})->trigger();
    form1.Memo1->Clear();
    form1.Memo1->AppendLine("Bonjour de la part d'Anne");
    MenuItem({"Fichier", "Imprimer", "message"})->trigger();
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    const std::vector<std::string> jobs = Jobs(out, 2);
    ASSERT_EQ(jobs.size(), 2u) << "the jobs did not reach the queue";
    EXPECT_NE(jobs[0].find("Date, heure"), std::string::npos) << jobs[0];
    EXPECT_NE(jobs[1].find("Bonjour de la part"), std::string::npos) << jobs[1];
    EXPECT_EQ(previews, 2) << "each job previewed first";
}

using NoPrintServer = PrintServerFixture<NoServer>;
TEST_F(NoPrintServer, NoDefaultPrinterIsTheStandardError) {
    MenuItem({"Fichier", "Imprimer", "message"})->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Summary(), "Vannoir|Aucune imprimante par défaut sélectionnée.");
}

}  // namespace
