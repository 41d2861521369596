// The screener's scan against a real Courier POP3 server, started privately
// by the test. Courier lists PIPELINING, and its log-in process hands the
// connection to the mail process once PASS is accepted: whatever came with
// PASS is lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "app/main_window.h"
#include "support/fake_window.h"
#include "support/private_courier.h"
#include "support/scratch_folder.h"

namespace {

TEST(ScanFromCourier, EveryMessageGetsItsRowWithoutWaiting) {
    ScratchFolder dir;
    PrivateCourier courier(dir / "courier");
    if (!courier.Running()) GTEST_SKIP() << courier.Unavailable();
    const PrivateDovecot& server = courier.Server();
    server.AddMessage(
        "From: Anne <anne@example.fr>\nSubject: premier\nDate: Mon, 7 Dec 2026 10:00:00 +0100\n\nun\n");
    server.AddMessage("From: bob@example.org\nSubject: second\n\ndeux\n");
    server.AddMessage(
        "From: \"Claire\" <claire@example.net>\nSubject: =?UTF-8?Q?troisi=C3=A8me?=\n\ntrois\n");
    FakeWindow window;
    Screener screener(AppPaths::ForExecutable(dir / "vannoir"), window.View());
    screener.FormCreate();
    screener.SetAccount({"127.0.0.1", server.port, server.user, server.password, true});
    const Outcome outcome = screener.Scan();
    ASSERT_TRUE(outcome.IsDone()) << outcome.underlying;
    EXPECT_TRUE(window.dialogs.shown.empty());
    EXPECT_EQ(window.status.panel[1], std::string("3 messages sur le serveur"));
    ASSERT_EQ(screener.Record().size(), 3u);
    const ScanRecord& rows = screener.Record();
    EXPECT_EQ(rows[0].address, "anne@example.fr");
    EXPECT_EQ(rows[0].subject, "premier");
    EXPECT_EQ(rows[1].address, "bob@example.org");
    EXPECT_EQ(rows[1].subject, "second");
    EXPECT_EQ(rows[2].address, "claire@example.net");
    EXPECT_EQ(rows[2].subject, "troisième");
    // The messages as Courier counts them: LF line ends become CR LF.
    EXPECT_EQ(rows[1].size, std::optional<std::int64_t>(48));
    EXPECT_FALSE(rows[0].uniqueId.empty());
    // Nothing lost on the way: no batch went unanswered.
    const auto& statuses = window.status.history0;
    EXPECT_TRUE(std::none_of(statuses.begin(), statuses.end(),
                             [](const std::string& s) { return s.find("une à une") != std::string::npos; }));
}

}  // namespace
