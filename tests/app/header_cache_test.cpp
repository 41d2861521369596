// A second look at a mailbox fetches only the headers it has not seen, and
// shows exactly what reading every header would.
#include "app/header_cache.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/scan_record_file.h"
#include "mailbox_script.h"
#include "platform/text.h"

namespace {

struct Mail {
    std::string id;
    std::string header;
    int size;
};
using Mailbox = std::vector<Mail>;

std::string CapaWithUidl() { return "C: CAPA\nS: +OK\nS: TOP\nS: UIDL\nS: USER\nS: PIPELINING\nS: .\n"; }

// The log-in with UIDL offered before it and after it, as servers do.
std::string LoginWithUidl() {
    return "S: +OK ready\n" + CapaWithUidl() + "C: USER anne\nS: +OK\nC: PASS secret\nS: +OK\n" +
           CapaWithUidl();
}

std::string UidlAnswer(const Mailbox& box) {
    std::string script = "S: +OK\n";
    for (std::size_t i = 0; i < box.size(); ++i) script += "S: " + IntToStr(i + 1) + " " + box[i].id + "\n";
    return script + "S: .\n";
}

std::string Counts(const Mailbox& box) { return Stats(static_cast<int>(box.size()), box.empty() ? 2 : 4); }

std::string Listings(const Mailbox& box) {
    std::string script = "C: UIDL\nC: LIST\n" + UidlAnswer(box) + "S: +OK\n";
    for (std::size_t i = 0; i < box.size(); ++i)
        script += "S: " + IntToStr(i + 1) + " " + IntToStr(box[i].size) + "\n";
    return script + "S: .\n";
}

// Every header read: TOP and LIST of each message, UIDL with the last ones.
// `listed`: a cache file was there, so the listings went with the log-in.
std::string FullScan(const Mailbox& box, bool uidl = true, bool listed = false) {
    std::string script =
        (uidl ? LoginWithUidl() : LoginWithCapa(Capa())) + Counts(box) + (listed ? Listings(box) : "");
    for (std::size_t i = 0; i < box.size(); ++i)
        script += Message(static_cast<int>(i) + 1, box[i].header, box[i].size);
    if (uidl && !box.empty()) script += "C: UIDL\n" + UidlAnswer(box);
    return script + Quit();
}

// The listings, then TOP of the messages `fetched` only.
std::string CachedScan(const Mailbox& box, const std::vector<int>& fetched) {
    std::string script = LoginWithUidl() + Counts(box) + Listings(box);
    for (int n : fetched) script += Top(n, box[static_cast<std::size_t>(n) - 1].header);
    return script + Quit();
}

const Mail kSpam{"a1", Header("Spam <s@pub.example>", "Promo"), 300};
const Mail kAnne{"a2", Header("Anne <anne@example.fr>", "Salut") + "\nDate: Tue, 8 Dec 2026 10:00:00 +0100",
                 200};
const Mail kUnread{"a3",
                   "From: James <james@example.com>, =?UTF-8? Q?x?=\nSubject: =?ISO-8859-1?Q?caf=G9?=", 250};
const Mail kZoe{"a4", Header("Zo\xE9 <zoe@example.fr>", "Re: Salut"), 100};
const Mail kNew{"b9", Header("Bruno <bruno@example.fr>", "Nouveau"), 400};

struct CacheCase {
    const char* name;
    Mailbox before, after;
    std::vector<int> fetched;  // the headers the second look asks for
    std::string countText;     // status panel 1 after it
};

const Mailbox kBox = {kSpam, kAnne, kUnread};

const CacheCase kCases[] = {
    {"nothing_new_no_header_fetched",
     kBox,
     kBox,
     {},
     "3 messages sur le serveur, 1 message illisible (0 nouveau, 3 en mémoire)"},
    {"new_message_last",
     kBox,
     {kSpam, kAnne, kUnread, kNew},
     {4},
     "4 messages sur le serveur, 1 message illisible (1 nouveau, 3 en mémoire)"},
    {"new_message_between_known_ones",
     kBox,
     {kSpam, kNew, kAnne, kUnread},
     {2},
     "4 messages sur le serveur, 1 message illisible (1 nouveau, 3 en mémoire)"},
    {"first_deleted_the_others_renumbered",
     kBox,
     {kAnne, kUnread},
     {},
     "2 messages sur le serveur, 1 message illisible (0 nouveau, 2 en mémoire)"},
    {"all_replaced", kBox, {kZoe, kNew}, {1, 2}, "2 messages sur le serveur (2 nouveaux, 0 en mémoire)"},
    {"known_id_with_another_size_reads_everything_again",
     kBox,
     {kSpam, {"a2", kZoe.header, 999}, kUnread},
     {1, 2, 3},
     "3 messages sur le serveur, 1 message illisible (3 nouveaux, 0 en mémoire)"},
    {"message_without_id_is_fetched",
     kBox,
     {kSpam, {"", kNew.header, 400}, kAnne},
     {2},
     "3 messages sur le serveur (1 nouveau, 2 en mémoire)"},
};

class CachedScanTest : public MailboxFixture, public testing::WithParamInterface<CacheCase> {
protected:
    std::string RecordText() const { return FormatScanRows({}, screener.Record()); }
};

TEST_P(CachedScanTest, FetchesOnlyUnknownHeadersAndShowsWhatAFullScanShows) {
    UseLists("Anne\r\nzo\xC9\r\n", "Spam\r\nBruno\r\n");
    const CacheCase& c = GetParam();
    // The third look reads every header again: the rows to agree with.
    ScriptedPop3Server server(FullScan(c.before) + kNextSession + CachedScan(c.after, c.fetched) +
                              kNextSession + FullScan(c.after));
    UseServer(server);
    window.dialogs.answers = {false, false, false};
    ASSERT_TRUE(screener.Scan().IsDone());
    ASSERT_TRUE(screener.Scan().IsDone());
    const std::vector<std::string> cachedRows = Rows();
    const std::string cachedRecord = RecordText();
    EXPECT_EQ(window.status.panel[1], c.countText);
    ASSERT_TRUE(screener.Scan(ScanReading::Whole).IsDone());
    server.ExpectFinished();
    EXPECT_EQ(cachedRows, Rows());
    EXPECT_EQ(cachedRecord, RecordText());
}
INSTANTIATE_TEST_SUITE_P(Table, CachedScanTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A list changed since the last look marks the rows again, without a fetch.
TEST_F(MailboxFixture, ListsApplyAfreshToRowsFromTheCache) {
    UseLists("", "");
    ScriptedPop3Server server(FullScan(kBox) + kNextSession + CachedScan(kBox, {}));
    UseServer(server);
    ASSERT_TRUE(screener.Scan().IsDone());
    UseLists("Anne\r\n", "");
    ASSERT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows()[1], "2|Anne|Salut|200|A");
}

// Whatever is wrong with the cache, the look is the full one.
struct SpoiledCase {
    const char* name;
    void (*spoil)(const std::filesystem::path& file);
};
const SpoiledCase kSpoiled[] = {
    {"cut_short",
     [](const std::filesystem::path& file) {
         const std::string bytes = FileBytes(file);
         PutFile(file, bytes.substr(0, bytes.size() - 9));
     }},
    {"last_row_lost",
     [](const std::filesystem::path& file) {
         std::string bytes = FileBytes(file);
         const std::size_t row = bytes.rfind("Message\t");
         PutFile(file, bytes.substr(0, row) + bytes.substr(bytes.rfind("Fin\t")));
     }},
    {"garbage", [](const std::filesystem::path& file) { PutFile(file, "\x01\x02\r\nFin\t0\r\n"); }},
    {"of_a_newer_layout",
     [](const std::filesystem::path& file) {
         std::string bytes = FileBytes(file);
         bytes.replace(bytes.find("Version\t2"), 9, "Version\t9");
         PutFile(file, bytes);
     }},
    {"a_folder_in_its_place",
     [](const std::filesystem::path& file) {
         std::filesystem::remove(file);
         std::filesystem::create_directory(file);
     }},
};
class SpoiledCache : public MailboxFixture, public testing::WithParamInterface<SpoiledCase> {};
TEST_P(SpoiledCache, MeansAFullScan) {
    UseLists("", "");
    ScriptedPop3Server server(FullScan(kBox) + kNextSession + FullScan(kBox, true, true));
    UseServer(server);
    ASSERT_TRUE(screener.Scan().IsDone());
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(paths.headerCache))
        files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::filesystem::status(paths.headerCache).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    GetParam().spoil(files[0]);
    EXPECT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows().size(), 3u);
}
INSTANTIATE_TEST_SUITE_P(Table, SpoiledCache, testing::ValuesIn(kSpoiled),
                         [](const auto& info) { return std::string(info.param.name); });

// Another server's cache is never taken, nor one from a server without ids.
TEST_F(MailboxFixture, CacheOfAnotherServerOrWithoutIdsIsNotUsed) {
    UseLists("", "");
    ScriptedPop3Server first(FullScan(kBox));
    UseServer(first);
    ASSERT_TRUE(screener.Scan().IsDone());
    first.ExpectFinished();
    ScriptedPop3Server second(FullScan(kBox) + kNextSession + FullScan(kBox, false) + kNextSession +
                              CachedScan(kBox, {}));
    UseServer(second);
    ASSERT_TRUE(screener.Scan().IsDone());
    // A server that stops offering ids is read whole; its cache waits for their return.
    ASSERT_TRUE(screener.Scan().IsDone());
    ASSERT_TRUE(screener.Scan().IsDone());
    second.ExpectFinished();
}

}  // namespace

namespace {

// The provider's verdict, read once from the header, comes back from the
// cache: a forged friend stays doubtful on the second look.
TEST_F(MailboxFixture, ProviderVerdictComesBackFromTheCache) {
    UseLists("Claire\r\n", "");
    const Mail forged{"f1",
                      "Authentication-Results: mx.exemple.fr; dmarc=fail header.from=amis.fr\n" +
                          Header("Claire <claire@amis.fr>", "Urgent"),
                      120};
    ScriptedPop3Server server(FullScan({forged}) + kNextSession + CachedScan({forged}, {}));
    UseServer(server);
    Account account = screener.CurrentAccount();
    account.resultService = {{"mx.exemple.fr"}, false};
    screener.SetAccount(account);
    ASSERT_TRUE(screener.Scan().IsDone());
    const ScanRow first = screener.Record().at(0);
    ASSERT_EQ(first.status, SenderStatus::DoubtfulFriend);
    ASSERT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    const ScanRow& again = screener.Record().at(0);
    EXPECT_EQ(again.status, SenderStatus::DoubtfulFriend);
    EXPECT_EQ(again.authentication, SenderAuthentication::Failed);
    EXPECT_EQ(again.verdict, first.verdict);
    EXPECT_EQ(Rows()[0], "1|Claire|Urgent|120|A?");
}

}  // namespace
