// The periodic checks from the tray, on a fake clock, with a private
// notification service.
#include <QElapsedTimer>

#include "app/watch_settings.h"
#include "platform/ini_file.h"
#include "support/fake_watch_timer.h"
#include "support/pop3_script_pieces.h"
#include "support/private_notifications.h"
#include "ui/grid_table.h"
#include "ui/watch_tray.h"
#include "window_fixture.h"

namespace {

const std::string kAnne = Header("Anne <anne@example.fr>", "Salut");

// Lets the window and the bus run until `done` or two seconds.
template <typename Done>
bool WaitFor(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 2000) QTest::qWait(20);
    return done();
}

}  // namespace

TEST_F(WindowFixture, PeriodicChecksNotifyOnceKeepTheTrayAndAClickShowsTheWindow) {
    auto service = PrivateNotifications::Start();
    if (!service) GTEST_SKIP() << "no session bus or notification service";
    // A check that finds one new message, then one that finds nothing new.
    ScriptedPop3Server server(ScanOf({kAnne}) + kNextSession + ScanOf({kAnne}));
    WriteAccount();
    TIniFile ini(paths.settings);
    ini.WriteInteger("Form", "Port1", server.Port());
    WriteWatchSettings(ini, WatchSettings{10, {1}, false});
    Show();
    auto owned = std::make_unique<FakeWatchTimer>();
    FakeWatchTimer& clock = *owned;
    form1.Tray().trayAvailable = true;
    form1.Tray().UseTimer(std::move(owned));
    ASSERT_EQ(clock.interval, 10 * 60 * 1000);

    clock.Fire();
    EXPECT_TRUE(WaitFor([&] { return !service->Notices().empty(); }));
    clock.Fire();
    QTest::qWait(300);
    EXPECT_EQ(service->Notices(),
              (std::vector<std::string>{"Vannoir : nouveaux messages|1 nouveau message de Anne"}));
    EXPECT_EQ(form1.Tray().Tooltip().toStdString(), "Vannoir : 1 message en attente, 0 intrus");
    server.ExpectFinished();
    // Quiet checks: the window's grid and boxes saw nothing.
    EXPECT_TRUE(GridRows().empty());
    EXPECT_TRUE(boxes.shown.empty());

    // Closed, the window goes to the tray, with a note the first time only.
    form1.close();
    EXPECT_FALSE(form1.isVisible());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("zone de notification"), std::string::npos);
    service->Click(1);
    EXPECT_TRUE(WaitFor([&] { return form1.isVisible(); }));
    form1.close();
    EXPECT_FALSE(form1.isVisible());
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(ini.ReadInteger("Surveillance", "NoteBarre", 0), 1);
}

TEST_F(WindowFixture, AllAccountsShowAnAccountColumnThatAOneAccountScanHides) {
    ScriptedPop3Server server(ScanOf({kAnne}) + kNextSession + ScanOf({kAnne}));
    WriteAccount();
    TIniFile(paths.settings).WriteInteger("Form", "Port1", server.Port());
    Show();
    QTableWidget& table = *form1.StringGrid1;

    MenuItem({"Actions", "En-têtes de tous les comptes"})->trigger();

    EXPECT_EQ(GridRows(), (std::vector<std::string>{"1|Anne|Salut|100|"}));
    EXPECT_FALSE(table.isColumnHidden(GridTable::kAccountColumn));
    EXPECT_EQ(table.item(0, GridTable::kAccountColumn)->text(), QStringLiteral("1"));
    EXPECT_EQ(table.horizontalHeaderItem(GridTable::kAccountColumn)->text(), QStringLiteral("Compte"));
    form1.BitBtn1Click();
    EXPECT_TRUE(table.isColumnHidden(GridTable::kAccountColumn));
    EXPECT_TRUE(boxes.shown.empty());
    server.ExpectFinished();
}
