// The screener's scan of a large mailbox on the private Dovecot, which lists
// PIPELINING: every message gets its row, the grid grows past its 999 rows,
// and the memory taken is what the rows need.
#include <gtest/gtest.h>

#include <iostream>

#include "app/main_window.h"
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

}  // namespace
