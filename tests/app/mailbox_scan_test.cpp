#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "mailbox_script.h"
#include "platform/text.h"

namespace {

using GridRows = std::vector<std::string>;

const std::string kSpam = Header("Spam <s@pub.example>", "Promo");
const std::string kAnne = Header("Anne <anne@example.fr>", "Salut");
const std::string kZoe = Header("Zo\xE9 <zoe@example.fr>", "Re: Salut");
const std::string kBare = Header("<x@example.fr>", "Sans nom");

struct ScanCase {
    const char* name;
    std::string script;  // after the log-in
    std::deque<bool> answers;
    GridRows rows;
    std::string countText;
    std::vector<std::string> shown;
};
const std::string kQuestion = "confirm: " + Ansi("Voulez-vous détruire les messages intrus ?");
const std::string kThree = Stat(3) + Stat(3) + Stat(3) + Stat(3) + Message(1, kSpam, 300) +
                           Message(2, kAnne, 200) + Message(3, kZoe, 100);
const GridRows kThreeRows = {"1|Spam|Promo|300|I", "2|Anne|Salut|200|A", "3|Zo\xE9|Re: Salut|100|I"};

const ScanCase kScans[] = {
    {"empty_mailbox_two_stats", Stat(0) + Stat(0) + Quit(), {}, {}, "Aucun nouveau message !", {}},
    {"one_message_four_stats",
     Stat(1) + Stat(1) + Stat(1) + Stat(1) + Message(1, kAnne, 1234) + Quit(),
     {},
     {"1|Anne|Salut|1234|A"},
     "1 message sur le serveur",
     {}},
    {"two_messages_no_intruder",
     Stat(2) + Stat(2) + Stat(2) + Stat(2) + Message(1, kAnne, 10) + Message(2, kBare, 20) + Quit(),
     {},
     {"1|Anne|Salut|10|A", "2||Sans nom|20|"},
     "2 messages sur le serveur",
     {}},
    {"intruders_yes_purges_from_highest",
     kThree + Stat(3) + Dele(3) + Dele(1) + Quit(),
     {true},
     kThreeRows,
     "3 messages sur le serveur",
     {kQuestion}},
    {"purge_count_above_the_scan_deletes_marked_rows_only",
     kThree + Stat(9) + Dele(3) + Dele(1) + Quit(),
     {true},
     kThreeRows,
     "3 messages sur le serveur",
     {kQuestion}},
    {"intruders_no_deletes_nothing",
     kThree + Quit(),
     {false},
     kThreeRows,
     "3 messages sur le serveur",
     {kQuestion}},
    {"size_missing_gives_minus_one",
     Stat(1) + Stat(1) + Stat(1) + Stat(1) + Top(1, kAnne) + "C: LIST 1\nS: +OK\n" + Quit(),
     {},
     {"1|Anne|Salut|-1|A"},
     "1 message sur le serveur",
     {}},
    {"counts_taken_as_they_come",
     Stat(2) + Stat(1) + Stat(5) + Stat(0) + Quit(),
     {},
     {},
     "5 message sur le serveur",
     {}},
};
class Scan : public MailboxFixture, public testing::WithParamInterface<ScanCase> {};
TEST_P(Scan, SendsExactCommandsAndFillsGrid) {
    UseLists("Anne\r\nzo\xC9\r\n", "Spam\r\nZO\xC9\r\n");
    ScriptedPop3Server server(ScanLogin() + GetParam().script);
    UseServer(server);
    window.dialogs.answers = GetParam().answers;
    EXPECT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows(), GetParam().rows);
    EXPECT_EQ(window.status.panel[1], Ansi(GetParam().countText));
    EXPECT_EQ(window.status.panel[0], Ansi("Déconnecté."));
    EXPECT_EQ(window.dialogs.shown, GetParam().shown);
    EXPECT_FALSE(window.cursor.busy);
}
INSTANTIATE_TEST_SUITE_P(Table, Scan, testing::ValuesIn(kScans),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxFixture, HeadingsInRowZero) {
    EXPECT_EQ(window.grid.Row(0), Ansi("|Date, heure|Expéditeur|Sujet|Taille|Statut"));
}

TEST_F(MailboxFixture, EmptySenderMatchesOnlyAnEmptyEntry) {
    UseLists("\r\n", "");
    ScriptedPop3Server server(ScanLogin() + Stat(2) + Stat(2) + Stat(2) + Stat(2) + Message(1, kBare, 1) +
                              Message(2, kSpam, 2) + Quit());
    UseServer(server);
    screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(Rows(), (GridRows{"1||Sans nom|1|A", "2|Spam|Promo|2|"}));
}

TEST_F(MailboxFixture, WrongPasswordShowsOneErrorAndEmptyGrid) {
    UseLists("", "");
    window.grid.SetCell(5, 3, "I");  // left from an earlier scan
    ScriptedPop3Server server("S: +OK\nC: USER anne\nS: +OK\nC: PASS secret\nS: -ERR mauvais mot de passe\n" +
                              Quit());
    UseServer(server);
    Outcome outcome = screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown, std::vector<std::string>{"error: Impossible de se connecter au serveur"});
    EXPECT_TRUE(Rows().empty());
    EXPECT_FALSE(window.cursor.busy);
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(outcome.shown, "Impossible de se connecter au serveur");
    EXPECT_EQ(outcome.underlying, "mauvais mot de passe");
}

TEST_F(MailboxFixture, FailureDuringPurgeStillEndsWithQuit) {
    UseLists("", "Spam\r\nAnne\r\n");
    ScriptedPop3Server server(ScanLogin() + Stat(3) + Stat(3) + Stat(3) + Stat(3) + Message(1, kAnne, 1) +
                              Message(2, kZoe, 2) + Message(3, kSpam, 3) + Stat(3) + Dele(3) +
                              "C: DELE 1\nS: -ERR verrou\n" + Quit());
    UseServer(server);
    window.dialogs.answers = {true};
    screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown.back(), "error: Impossible de se connecter au serveur");
    EXPECT_EQ(Rows().size(), 3u) << "the grid keeps its rows";
}

TEST_F(MailboxFixture, ServerGoneDuringHeadersKeepsRowsSoFar) {
    UseLists("Anne\r\n", "");
    ScriptedPop3Server server(ScanLogin() + Stat(2) + Stat(2) + Stat(2) + Stat(2) + Message(1, kAnne, 1) +
                              "C: TOP 2 0\nC: LIST 2\n!close\n");
    UseServer(server);
    screener.Scan();
    server.ExpectFinished();  // the client closed without sending anything more
    EXPECT_EQ(Rows(), GridRows{"1|Anne|Salut|1|A"});
    EXPECT_EQ(window.dialogs.shown, std::vector<std::string>{"error: Impossible de se connecter au serveur"});
    EXPECT_FALSE(window.cursor.busy);
}

TEST_F(MailboxFixture, PurgeFollowsTheScanNotCellsMovedMeanwhile) {
    UseLists("", "Spam\r\n");
    ScriptedPop3Server server(ScanLogin() + Stat(2) + Stat(2) + Stat(2) + Stat(2) + Message(1, kSpam, 1) +
                              Message(2, Header("Bob <b@x.fr>", "I"), 2) + Stat(2) + Dele(1) + Quit());
    UseServer(server);
    window.dialogs.answers = {true};
    // The user drags the subject column onto the status column while the
    // question is open: row 2 now shows "I" in column 5.
    window.dialogs.duringConfirm = [this] { window.grid.SetCell(5, 2, "I"); };
    screener.Scan();
    server.ExpectFinished();
}

TEST_F(MailboxFixture, MoreThan999MessagesGrowTheGridAndArePurged) {
    UseLists("", "Spam\r\n");
    constexpr int kCount = 1001;
    std::string script = ScanLogin() + Stat(kCount) + Stat(kCount) + Stat(kCount) + Stat(kCount);
    for (int i = 1; i <= kCount; ++i) script += Message(i, i == 2 || i == kCount ? kSpam : kAnne, i);
    script += Stat(kCount) + Dele(kCount) + Dele(2) + Quit();
    ScriptedPop3Server server(script);
    UseServer(server);
    window.dialogs.answers = {true};
    screener.Scan();
    server.ExpectFinished();
    EXPECT_GE(window.grid.RowCount(), kCount + 1);
    EXPECT_EQ(window.grid.Cell(0, kCount), "1001");
    EXPECT_EQ(window.grid.Cell(5, kCount), "I");

    // The next, smaller scan leaves no status from this one.
    ScriptedPop3Server next(ScanLogin() + Stat(1) + Stat(1) + Stat(1) + Stat(1) + Message(1, kAnne, 1) +
                            Quit());
    UseServer(next);
    screener.Scan();
    next.ExpectFinished();
    EXPECT_EQ(window.grid.RowCount(), 1000);
    EXPECT_EQ(Rows(), GridRows{"1|Anne|Salut|1|"});
}

TEST_F(MailboxFixture, SlowScanShowsHowFarItIsAfterTheStatus) {
    UseLists("", "");
    ScriptedPop3Server server(ScanLogin() + Stats(3, 4) + Message(1, kAnne, 1) + "!pause 400\n" +
                              Message(2, kAnne, 2) + Message(3, kAnne, 3) + Quit());
    UseServer(server);
    screener.Scan();
    server.ExpectFinished();
    const std::vector<std::string>& shown = window.status.history0;
    auto at = std::find(shown.begin(), shown.end(), Ansi("Connecté. 2 / 3"));
    ASSERT_NE(at, shown.end()) << "the count after the wait";
    EXPECT_EQ(*++at, Ansi("Connecté. 3 / 3")) << "the last count follows the shown one";
    EXPECT_EQ(*++at, Ansi("Déconnexion."));
}

TEST_F(MailboxFixture, ActionsStartedDuringAWaitAreRefused) {
    UseLists("", "Spam\r\n");
    ScriptedPop3Server server(ScanLogin() + Stat(1) + Stat(1) + Stat(1) + Stat(1) + Message(1, kSpam, 1) +
                              Quit());
    UseServer(server);
    bool wasRefused[3] = {false, false, false};
    window.dialogs.duringConfirm = [&] {
        EXPECT_TRUE(screener.Busy());
        wasRefused[0] = screener.Scan().IsRefused();
        wasRefused[1] = screener.Preview().IsRefused();
        wasRefused[2] = screener.DeleteCurrent().IsRefused();
    };
    screener.Scan();
    server.ExpectFinished();  // nothing sent by the refused actions
    EXPECT_TRUE(wasRefused[0] && wasRefused[1] && wasRefused[2]);
    EXPECT_FALSE(screener.Busy());
    const std::string refused = "message: " + Ansi(
                                                  "Une action sur la boîte aux lettres est déjà en cours : "
                                                  "attendez qu'elle se termine.");
    EXPECT_EQ(window.dialogs.shown, (std::vector<std::string>{kQuestion, refused, refused, refused}));
    EXPECT_EQ(Rows(), GridRows{"1|Spam|Promo|1|I"});
}

TEST_F(MailboxFixture, AccountChosenDuringAnActionTakesEffectAfterIt) {
    UseLists("", "Spam\r\n");
    PutFile(paths.settings, "[Form]\r\nServeur2=pop.autre.fr\r\nNom2=bob\r\n");
    ScriptedPop3Server server(ScanLogin() + Stat(1) + Stat(1) + Stat(1) + Stat(1) + Message(1, kSpam, 1) +
                              Quit());
    UseServer(server);
    std::string userDuringWait;
    window.dialogs.duringConfirm = [&] {
        screener.LoadAccount(2);
        userDuringWait = screener.CurrentAccount().user;
    };
    screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(userDuringWait, "anne");
    EXPECT_EQ(window.caption.caption, Ansi("Courriel : compte non configuré"));
    EXPECT_EQ(screener.CurrentAccount().host, "pop.autre.fr");
    EXPECT_EQ(screener.CurrentAccount().user, "bob");
    EXPECT_EQ(screener.CurrentAccount().password, "") << "never the previous account's password";
}

}  // namespace

namespace {

// Sets the process's time zone for one test.
class ZoneForTest {
public:
    explicit ZoneForTest(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneForTest() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> old_;
};

TEST_F(MailboxFixture, DateColumnInLocalTime) {
    ZoneForTest zone("CET-1");  // one hour east, no summer time
    UseLists("", "");
    ScriptedPop3Server server(ScanLogin() + Stat(2) + Stat(2) + Stat(2) + Stat(2) +
                              Message(1, kAnne + "\nDate: Fri, 07 Sep 2001 10:05:30 +0200", 1) +
                              Message(2, kAnne, 2) + Quit());
    UseServer(server);
    screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(window.grid.Cell(1, 1), Ansi("07/09/01 à 09:05"));
    EXPECT_EQ(window.grid.Cell(1, 2), Ansi("30/12/99 à 01:00")) << "no date: 0 plus the local offset";
}

}  // namespace
