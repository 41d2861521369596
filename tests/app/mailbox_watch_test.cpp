// Several accounts in turn: the window's all-accounts scan and the periodic checks.
#include "app/mailbox_watch.h"

#include <gtest/gtest.h>

#include "app/watch_settings.h"
#include "mailbox_script.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "support/fake_watch_timer.h"

namespace {

const std::string kAnne = Header("Anne <anne@example.fr>", "Salut");
const std::string kBob = Header("Bob <bob@example.fr>", "Devis");
// A name that would turn the notice around shows its override.
const std::string kCarl = Header("Carl\u202E <carl@example.fr>", "Photos");
const std::string kSpam = Header("Spam <s@pub.example>", "Promo");
// Nothing listens there: the account fails at once.
constexpr int kClosedPort = 1;

class RecordingTray : public WatchView {
public:
    void ShowCounts(int, int, std::string_view text) override { tooltip = text; }
    void Notify(std::string_view title, std::string_view body) override {
        notices.push_back(std::string(title) + "|" + std::string(body));
    }
    std::string tooltip;
    std::vector<std::string> notices;
};

struct SweepFixture : MailboxFixture {
    void Account(int slot, int port) {
        TIniFile ini(paths.settings);
        ::Account account;
        account.host = "127.0.0.1";
        account.user = "anne";
        account.password = "secret";
        account.port = port;
        account.security = AccountSecurity::None;
        SaveAccountSettings(ini, slot, account);
        ini.WriteString("Form", "Corbeille", "0");
    }
    // Rows of the grid with their account first.
    std::vector<std::string> AccountRows() const {
        std::vector<std::string> rows = Rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = window.grid.Account(static_cast<int>(i) + 1) + ":" + rows[i];
        return rows;
    }
};

std::string Crlf(std::string_view text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

}  // namespace

TEST_F(SweepFixture, AllAccountsShowTheirRowsAndActionsReachTheRowsAccount) {
    UseLists("Anne\n", "Spam\n");
    ScriptedPop3Server first(ScanOf({kAnne, kBob}));
    ScriptedPop3Server third(ScanLogin() + Stats(1, 4) + Message(1, kSpam, 100) + Quit() + kNextSession +
                             ScanLogin() + Retr(1, Crlf(kSpam + "\n\ncorps\n")) + Quit());
    Account(1, first.Port());
    Account(2, kClosedPort);
    Account(3, third.Port());
    TIniFile(paths.settings).WriteString("Form", "Serveur4", "127.0.0.1");

    const Outcome outcome = screener.ScanAllAccounts();

    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(AccountRows(), (std::vector<std::string>{"1:1|Anne|Salut|100|A", "1:2|Bob|Devis|200|",
                                                       "3:1|Spam|Promo|100|I"}));
    // One failing account, told in the status bar only; the others scanned.
    EXPECT_EQ(window.status.panel[0].rfind("Compte 2 : Impossible de se connecter au serveur", 0), 0u)
        << window.status.panel[0];
    // A half-filled account is told with what it lacks, and nothing is tried for it.
    EXPECT_NE(window.status.panel[0].find(
                  " ; Compte 4 : incomplet, il manque le nom d'utilisateur et le mot de passe"),
              std::string::npos)
        << window.status.panel[0];
    EXPECT_EQ(window.dialogs.shown,
              (std::vector<std::string>{"confirm: Voulez-vous détruire le message intrus ?"}));
    first.ExpectFinished();

    // The third row is the third account's first message.
    window.grid.current = 3;
    EXPECT_TRUE(screener.Preview(3).IsDone());
    EXPECT_EQ(screener.CurrentAccount().port, third.Port());
    EXPECT_EQ(window.dialogs.shown.size(), 1u);
    third.ExpectFinished();
    EXPECT_TRUE(screener.AddCurrentSender(ListKind::Friends).IsDone());
    EXPECT_NE(FileBytes(paths.friends).find("Spam"), std::string::npos);
}

TEST_F(SweepFixture, PeriodicChecksTellWhatIsNewByUniqueIdAndNeverOpenABox) {
    UseLists("", "Spam\n");
    // Three checks: two new messages, nothing new, then one new among them.
    ScriptedPop3Server server(ScanOf({kAnne, kBob}) + kNextSession + ScanOf({kAnne, kBob}) + kNextSession +
                              ScanOf({kBob, kCarl, kSpam}));
    Account(1, server.Port());
    Account(2, kClosedPort);
    TIniFile ini(paths.settings);
    // Purge on, but the Corbeille is off: the intruder stays.
    WriteWatchSettings(ini, WatchSettings{5, {1, 2}, true});
    FakeWatchTimer timer;
    RecordingTray tray;
    MailboxWatch watch(screener, timer, tray);

    watch.Configure();
    ASSERT_EQ(timer.interval, 5 * 60 * 1000);
    timer.Fire();
    EXPECT_EQ(tray.notices,
              (std::vector<std::string>{"Vannoir : nouveaux messages|2 nouveaux messages de Anne, Bob"}));
    EXPECT_EQ(tray.tooltip.rfind("Vannoir : 2 messages en attente, 0 intrus\nCompte 2 : Impossible", 0), 0u)
        << tray.tooltip;
    timer.Fire();
    EXPECT_EQ(tray.notices.size(), 1u);
    timer.Fire();
    ASSERT_EQ(tray.notices.size(), 2u);
    EXPECT_EQ(tray.notices[1], "Vannoir : nouveaux messages|2 nouveaux messages de Carl<U+202E>, Spam");
    EXPECT_EQ(tray.tooltip.rfind("Vannoir : 3 messages en attente, 1 intrus", 0), 0u) << tray.tooltip;
    server.ExpectFinished();
    // Nothing reached the window: no box, no row, no status.
    EXPECT_TRUE(window.dialogs.shown.empty());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(window.status.panel[0], "");

    WriteWatchSettings(ini, WatchSettings{0, {}, false});
    watch.Configure();
    EXPECT_EQ(timer.interval, 0);
}

TEST_F(SweepFixture, APeriodicCheckNeverRunsInsideAnotherAction) {
    UseLists("", "Spam\n");
    // The window's scan only: the check asked for while it waits opens no session.
    ScriptedPop3Server server(ScanLogin() + Stats(1, 4) + Message(1, kSpam, 100) + Quit());
    Account(1, server.Port());
    UseServer(server);
    TIniFile ini(paths.settings);
    WriteWatchSettings(ini, WatchSettings{1, {1}, false});
    FakeWatchTimer timer;
    RecordingTray tray;
    MailboxWatch watch(screener, timer, tray);
    watch.Configure();
    Outcome during;
    window.dialogs.duringConfirm = [&] {
        during = watch.Check();
        timer.Fire();
    };

    EXPECT_TRUE(screener.Scan().IsDone());

    EXPECT_EQ(during.fault, Outcome::Fault::Busy);
    EXPECT_TRUE(tray.notices.empty());
    server.ExpectFinished();
}
