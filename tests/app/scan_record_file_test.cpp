#include "app/scan_record_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "support/scratch_folder.h"

namespace {

ScanRecord Sample() {
    ScanRecord record(2);
    ScanRow& zoe = record[0];
    zoe.number = 1;
    // 07/09/01 10:05:30 written at -04:30, 16:35:30 in local time.
    zoe.date = MessageDate{37141 + 36330 / 86400.0, -270, 37141 + 59730 / 86400.0};
    zoe.name = "Zoé";
    zoe.address = "z@x.fr";
    zoe.senders = {"z@x.fr", "autre@x.fr"};
    zoe.subject = "tab\there%25";
    zoe.size = 12;
    zoe.status = SenderStatus::Intruder;
    zoe.headerDigest = HeaderDigest({"From: Zo\xE9 <z@x.fr>", "Subject: a", "\tfolded", "weird\r\x01"});
    zoe.uniqueId = "uid\t%1";
    zoe.spam = {0.1 + 0.2, SpamJudgement::Unsure, {"casino\t%", "gagnant"}};
    ScanRow& unread = record[1];
    unread.number = 2;
    unread.unreadSender = "James <j@x.fr>, =?x? Q?";
    unread.fault = "Adresse extérieure @";
    unread.status = SenderStatus::Friend;
    return record;
}

bool Same(const ScanRecord& a, const ScanRecord& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const ScanRow &x = a[i], &y = b[i];
        const bool sameDate = x.date.has_value() == y.date.has_value() &&
                              (!x.date || (std::abs(x.date->written - y.date->written) < 1e-9 &&
                                           std::abs(x.date->local - y.date->local) < 1e-9 &&
                                           x.date->offsetMinutes == y.date->offsetMinutes));
        if (x.number != y.number || !sameDate || x.name != y.name || x.address != y.address ||
            x.senders != y.senders || x.subject != y.subject || x.size != y.size || x.status != y.status ||
            x.headerDigest != y.headerDigest || x.uniqueId != y.uniqueId ||
            x.unreadSender != y.unreadSender || x.fault != y.fault || x.spam.score != y.spam.score ||
            x.spam.judgement != y.spam.judgement || x.spam.reasons != y.spam.reasons)
            return false;
    }
    return true;
}

const MailboxIdentity kAnne{"pop.fr", 110, "anne"};

TEST(ScanRecordFile, RoundTripsEveryByte) {
    ScratchFolder dir;
    WriteScanRecord(dir / "v.RELEVE", 1, kAnne, Sample());
    auto read = ReadScanRecord(dir / "v.RELEVE", 1, kAnne);
    ASSERT_TRUE(read);
    EXPECT_TRUE(Same(*read, Sample()));
    const std::string head =
        "[Compte "
        "1]\r\nBoite\tpop.fr\t110\tanne\r\nVersion\t2\r\nMessage\t1\tZo\xC3\xA9\tz@x.fr\ttab%09here%"
        "2525\t12\t"
        "intrus\r\n";
    EXPECT_EQ(FileBytes(dir / "v.RELEVE").substr(0, head.size()), head);
}

TEST(ScanRecordFile, AccountsAreKeptApart) {
    ScratchFolder dir;
    WriteScanRecord(dir / "v.RELEVE", 1, kAnne, Sample());
    WriteScanRecord(dir / "v.RELEVE", 2, kAnne, {});
    WriteScanRecord(dir / "v.RELEVE", 1, kAnne, ScanRecord(1));
    auto one = ReadScanRecord(dir / "v.RELEVE", 1, kAnne);
    auto two = ReadScanRecord(dir / "v.RELEVE", 2, kAnne);
    ASSERT_TRUE(one && two);
    EXPECT_EQ(one->size(), 1u);
    EXPECT_TRUE(two->empty());
}

struct MissCase {
    const char* name;
    std::string file;
    int slot;
    MailboxIdentity mailbox;
};
const MissCase kMisses[] = {
    {"no_file", "", 1, kAnne},
    {"other_account", "[Compte 2]\r\nBoite\tpop.fr\t110\tanne\r\n", 1, kAnne},
    {"other_host", "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\n", 1, {"autre.fr", 110, "anne"}},
    {"other_port", "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\n", 1, {"pop.fr", 2110, "anne"}},
    {"other_user", "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\n", 1, {"pop.fr", 110, "bob"}},
    {"digest_before_any_row", "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nEmpreinte\tx\r\n", 1, kAnne},
    // Earlier versions kept the header lines: such a record guards nothing now.
    {"header_lines_of_an_old_record",
     "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nLigne\t1\t\tA\tB\t100\t\r\nEn-tete\tFrom: A\r\n", 1, kAnne},
    {"old_record_of_a_headerless_row", "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nLigne\t1\t\t\t\t100\t\r\n",
     1, kAnne},
    {"two_digests_for_a_row",
     "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nLigne\t1\t\t\t\t1\t\r\nEmpreinte\ta\r\nEmpreinte\tb\r\n", 1,
     kAnne},
    {"digested_row_of_a_record_without_version_mark",
     "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nLigne\t1\t\tA\tB\t100\t\r\nEmpreinte\ta\r\n", 1, kAnne},
    {"unknown_status_name",
     "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nVersion\t2\r\nMessage\t1\t\t\t\t1\tI\r\nEmpreinte\ta\r\n", 1,
     kAnne},
    {"size_that_is_no_number",
     "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nVersion\t2\r\nMessage\t1\t\t\t\t-1x\t\r\nEmpreinte\ta\r\n", 1,
     kAnne},
    {"row_with_five_cells", "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nLigne\t1\t2\t3\t4\t5\r\n", 1, kAnne},
    {"bad_escape", "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nLigne\t1\t\t\t\t\t%4\r\n", 1, kAnne},
    {"spam_score_that_is_no_number",
     "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nVersion\t2\r\nMessage\t1\t\t\t\t1\t\r\nEmpreinte\ta\r\n"
     "Pourriel\t0,5\tpourriel\r\n",
     1, kAnne},
    {"unknown_line", "[Compte 1]\r\nBoite\tpop.fr\t110\tanne\r\nAutre\r\n", 1, kAnne},
};
class ScanRecordMiss : public testing::TestWithParam<MissCase> {};
TEST_P(ScanRecordMiss, GivesNoRecord) {
    ScratchFolder dir;
    if (!GetParam().file.empty()) PutFile(dir / "v.RELEVE", GetParam().file);
    EXPECT_FALSE(ReadScanRecord(dir / "v.RELEVE", GetParam().slot, GetParam().mailbox));
}
INSTANTIATE_TEST_SUITE_P(Table, ScanRecordMiss, testing::ValuesIn(kMisses),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs of several accounts at once each change their own section; none may
// lose another's.
TEST(ScanRecordFile, ConcurrentWritersOfOtherAccountsLoseNothing) {
    ScratchFolder dir;
    constexpr int kAccounts = 6, kRounds = 15;
    std::vector<std::thread> writers;
    for (int slot = 1; slot <= kAccounts; ++slot)
        writers.emplace_back([&, slot] {
            for (int round = 1; round <= kRounds; ++round)
                WriteScanRecord(dir / "v.RELEVE", slot, kAnne, ScanRecord(static_cast<std::size_t>(round)));
        });
    for (std::thread& writer : writers) writer.join();
    for (int slot = 1; slot <= kAccounts; ++slot) {
        auto record = ReadScanRecord(dir / "v.RELEVE", slot, kAnne);
        ASSERT_TRUE(record) << "account " << slot << " lost";
        EXPECT_EQ(record->size(), static_cast<std::size_t>(kRounds)) << "account " << slot;
    }
}

}  // namespace
