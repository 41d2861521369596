// The screener's scan of a large mailbox on the private Dovecot, which lists
// PIPELINING: every message gets its row, the grid grows past its 999 rows,
// and the memory taken is what the rows need.
#include <gtest/gtest.h>

#include <iostream>

#include "app/main_window.h"
#include "app/scan_cells.h"
#include "platform/text.h"
#include "support/dovecot_fixture.h"
#include "support/fake_window.h"
#include "support/process_memory.h"
#include "support/scratch_folder.h"

namespace {

using ScanFromDovecot = DovecotFixture;

TEST_F(ScanFromDovecot, TenThousandMessagesGrowTheGrid) {
    constexpr int kCount = 10000;
    for (int i = 1; i <= kCount; ++i)
        dovecot.AddMessage("From: \"Sender " + IntToStr(i) + "\" <s@example.fr>\r\nSubject: message " +
                           IntToStr(i) + "\r\nDate: Mon, 7 Dec 2026 10:00:00 +0100\r\n\r\nBody\r\n");
    ScratchFolder dir;
    FakeWindow window;
    Screener screener(AppPaths::ForExecutable(dir / "vannoir"), window.View());
    screener.FormCreate();
    screener.SetAccount({"127.0.0.1", dovecot.port, dovecot.user, dovecot.password, true});
    ResetPeakResident();
    const long before = ResidentKb();
    const Outcome outcome = screener.Scan();
    const long grownKb = PeakResidentKb() - before;
    ASSERT_TRUE(outcome.IsDone()) << outcome.underlying;
    EXPECT_TRUE(window.dialogs.shown.empty());
    EXPECT_EQ(window.status.panel[1], std::string("10000 messages sur le serveur"));
    ASSERT_GT(window.grid.RowCount(), kCount);
    EXPECT_EQ(window.grid.Cell(0, kCount), "10000");
    EXPECT_EQ(window.grid.Cell(3, kCount), "message 10000");
    EXPECT_EQ(screener.Record().size(), static_cast<std::size_t>(kCount));
    std::cout << "peak resident growth of the scan: " << grownKb << " kB\n";
    if (!kSanitized) {
        EXPECT_LT(grownKb, 32 * 1024) << "about 1 kB a row";
    }
}

// Mail as delivered by a server whose receiving service writes its verdict
// on top: the forged friend is doubtful and goes with the purge when an
// intruder entry also names it, the real friend stays one, a verdict the
// sender wrote itself changes nothing, look-alikes are named.
TEST_F(ScanFromDovecot, ForgedFriendsAndLookAlikesFromTheProvidersVerdict) {
    auto message = [&](const std::string& results, const std::string& from, const std::string& subject) {
        dovecot.AddMessage(results + "From: " + from + "\r\nSubject: " + subject + "\r\n\r\nCorps\r\n");
    };
    const std::string fail =
        "Authentication-Results: mx.exemple.fr; dmarc=fail (p=reject) header.from=amis.fr\r\n";
    const std::string pass = "Authentication-Results: mx.exemple.fr; dkim=pass header.d=amis.fr\r\n";
    const std::string forged = "Authentication-Results: mx.forge.example; dmarc=pass header.from=amis.fr\r\n";
    message(pass, "Claire <claire@amis.fr>", "vraie");
    message(fail + forged, "Claire <claire@amis.fr>", "fausse");
    message(fail, "Promo <claire@amis.fr>", "promo");
    message(forged, "Claire <claire@amis.fr>", "inconnue");
    message(pass, "Claire <claire@\xD0\xB0mis.fr>", "cyrillique");
    message(pass, "\"Claire <claire@amis.fr>\" <x@evil.test>", "nom");
    ScratchFolder dir;
    const AppPaths paths = AppPaths::ForExecutable(dir / "vannoir");
    FakeWindow window;
    Screener screener(paths, window.View());
    screener.FormCreate();
    PrepareAppFolder(paths);
    PutFile(paths.friends, "claire@amis.fr\r\n");
    PutFile(paths.intruders, "Promo\r\n");
    PutFile(paths.settings, "[Form]\r\nCorbeille=0\r\n");
    ASSERT_TRUE(screener.LoadLists().IsDone());
    Account account{"127.0.0.1", dovecot.port, dovecot.user, dovecot.password, true};
    account.resultService = {{"mx.exemple.fr"}, false};
    screener.SetAccount(account);
    window.dialogs.answers = {true};
    ASSERT_TRUE(screener.Scan().IsDone());
    std::vector<std::string> rows;
    for (const ScanRow& row : screener.Record())
        rows.push_back(row.subject + "|" + std::string(StatusMark(row.status)) + "|" +
                       (row.lookAlikes.empty() ? "" : row.lookAlikes.front()));
    EXPECT_EQ(rows, (std::vector<std::string>{"vraie|A|", "fausse|A?|", "inconnue|A|",
                                              "cyrillique||ressemble \xC3\xA0 claire@amis.fr",
                                              "nom||nom contenant une autre adresse"}));
}

}  // namespace
