// The header cache against a real server whose mailbox changes between two
// looks: the rows of a look through the cache are those of a full read, and
// a purge after it deletes exactly the intruders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "app/main_window.h"
#include "app/scan_cells.h"
#include "app/scan_record_file.h"
#include "platform/text.h"
#include "support/dovecot_fixture.h"
#include "support/fake_window.h"
#include "support/scratch_folder.h"

namespace {

class HeaderCacheOnDovecot : public DovecotFixture {
protected:
    HeaderCacheOnDovecot()
        : paths(AppPaths::ForExecutable(dir / "vannoir")), screener(paths, window.View()) {}

    void SetUp() override {
        DovecotFixture::SetUp();
        if (IsSkipped()) return;
        screener.FormCreate();
        PutFile(paths.friends, "Ami\r\n");
        PutFile(paths.intruders, "Intrus\r\n");
        PutFile(paths.settings, "[Form]\r\nCorbeille=0\r\n");
        ASSERT_TRUE(screener.LoadLists().IsDone());
        screener.SetAccount({"127.0.0.1", dovecot.port, dovecot.user, dovecot.password, true});
    }

    void Deliver(int i, const std::string& who) {
        dovecot.AddMessage("From: \"" + who + "\" <s" + IntToStr(i) + "@example.fr>\r\nSubject: message " +
                           IntToStr(i) + "\r\nDate: Mon, 7 Dec 2026 10:00:00 +0100\r\n\r\n" +
                           std::string(static_cast<std::size_t>(i % 7) * 10, 'x') + "\r\n");
    }

    // Every message file of the maildir, delivered or seen.
    std::vector<std::filesystem::path> Files() const {
        std::vector<std::filesystem::path> files;
        for (const char* sub : {"new", "cur"})
            for (const auto& entry : std::filesystem::directory_iterator(dovecot.maildir + "/" + sub))
                files.push_back(entry.path());
        // Their names sort in delivery order.
        std::sort(files.begin(), files.end(),
                  [](const auto& a, const auto& b) { return a.filename() < b.filename(); });
        return files;
    }

    std::vector<std::string> Shown() const {
        std::vector<std::string> rows;
        for (const ScanRow& row : screener.Record()) {
            std::string line;
            for (const std::string& cell : GridCells(row)) line += cell + "|";
            rows.push_back(line + row.uniqueId);
        }
        return rows;
    }

    ScratchFolder dir;
    AppPaths paths;
    FakeWindow window;
    Screener screener;
};

TEST_F(HeaderCacheOnDovecot, RandomChangesShowWhatAFullReadShows) {
    std::mt19937 random(20261208);
    const char* const senders[] = {"Ami", "Intrus", "Autre"};
    int delivered = 0;
    for (; delivered < 40;) {
        ++delivered;
        Deliver(delivered, senders[delivered % 3]);
    }
    window.dialogs.answers.assign(100, false);
    ASSERT_TRUE(screener.Scan().IsDone());
    for (int round = 0; round < 8; ++round) {
        std::vector<std::filesystem::path> files = Files();
        std::shuffle(files.begin(), files.end(), random);
        const int gone = static_cast<int>(random() % 6);
        for (int k = 0; k < gone && k < static_cast<int>(files.size()); ++k)
            std::filesystem::remove(files[k]);
        const int added = static_cast<int>(random() % 6);
        for (int k = 0; k < added; ++k) Deliver(++delivered, senders[random() % 3]);
        if (round == 3) {
            PutFile(paths.friends, "Ami\r\nAutre\r\n");
            ASSERT_TRUE(screener.LoadLists().IsDone());
        }

        ASSERT_TRUE(screener.Scan().IsDone()) << "round " << round;
        const std::vector<std::string> cached = Shown();
        const std::string cachedText = window.status.panel[1];
        EXPECT_NE(cachedText.find(" en mémoire)"), std::string::npos) << cachedText;
        ASSERT_TRUE(screener.Scan(ScanReading::Whole).IsDone()) << "round " << round;
        EXPECT_EQ(cached, Shown()) << "round " << round;
    }
}

TEST_F(HeaderCacheOnDovecot, PurgeAfterALookThroughTheCacheDeletesExactlyTheIntruders) {
    for (int i = 1; i <= 12; ++i) Deliver(i, i % 3 == 0 ? "Intrus" : "Ami");
    window.dialogs.answers = {false};
    ASSERT_TRUE(screener.Scan().IsDone());
    // Two gone, three new, the numbers all moved.
    const std::vector<std::filesystem::path> files = Files();
    std::filesystem::remove(files[0]);
    std::filesystem::remove(files[4]);
    for (int i = 13; i <= 15; ++i) Deliver(i, i == 14 ? "Intrus" : "Ami");
    window.dialogs.answers = {true};
    ASSERT_TRUE(screener.Scan().IsDone());
    ASSERT_TRUE(screener.Scan(ScanReading::Whole).IsDone());
    std::vector<std::string> left;
    for (const ScanRow& row : screener.Record()) left.push_back(row.subject);
    std::vector<std::string> expected;
    for (int i = 1; i <= 15; ++i) {
        const bool intruder = i == 14 || (i <= 12 && i % 3 == 0);
        if (!intruder) expected.push_back("message " + IntToStr(i));
    }
    // The files removed were those of the first and fifth deliveries.
    std::sort(left.begin(), left.end());
    std::vector<std::string> kept;
    for (const std::string& subject : expected)
        if (subject != "message 1" && subject != "message 5") kept.push_back(subject);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(left, kept);
}

}  // namespace
