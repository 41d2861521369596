// The Corbeille against the scripted server: copies of exactly what was
// deleted, byte for byte, and never a DELE without a copy on disk.
#include "app/corbeille.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <csignal>

#include "app/spam_learning.h"
#include "mailbox_script.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;

const std::string kSpam = Header("Spam <s@pub.example>", "Promo");
const std::string kAnne = Header("Anne <anne@example.fr>", "Salut");
const std::string kZoe = Header("Zo\xE9 <zoe@example.fr>", "Re: Salut");

// Message 3: a dot-stuffed line, a line longer than a read line may be, a
// bare CR where such a line is cut, an 8-bit byte.
const std::string kZoeBody =
    "From: Zo\xE9 <zoe@example.fr>\r\nSubject: Re: Salut\r\n\r\n.point\r\n..deux\r\n" +
    std::string(40000, 'B') + "\r\n" + std::string(16383, 'A') + "\rX\r\nfin \xE9t\xE9\r\n";
const std::string kSpamBody = "From: Spam <s@pub.example>\r\nSubject: Promo\r\n\r\nAchetez.\r\n";

struct CorbeilleFixture : MailboxFixture {
    CorbeilleFixture() {
        PutFile(paths.settings, "[Form]\r\nCorbeille=1\r\n");
        UseLists("", "Spam\r\nZO\xC9\r\n");
    }
    // The scan of Spam (1), Anne (2) and Zoé (3), the purge asked and answered Oui.
    Outcome Purge(const std::string& afterStat) {
        ScriptedPop3Server server(ScanLogin() + Stats(3, 4) + Message(1, kSpam, 300) +
                                  Message(2, kAnne, 200) + Message(3, kZoe, 100) + Stat(3) + afterStat);
        UseServer(server);
        window.dialogs.answers = {true};
        Outcome outcome = screener.Scan();
        finished = server.WaitFinished(std::chrono::seconds(10));
        transcript = server.Transcript();
        commands = server.Commands();
        port = server.Port();
        return outcome;
    }
    std::vector<CorbeilleEntry> Kept() const { return Corbeille(paths.corbeille, {}).List(); }
    std::vector<std::string> commands;
    int port = 0;
    bool finished = false;  // the script ran to its end, nothing more sent
    std::string transcript;
};

// A purge is the user's decision: each purged intruder is taught as spam,
// whole from its copy, once.
TEST_F(CorbeilleFixture, PurgedIntrudersTeachTheSpamEngineOnce) {
    ASSERT_TRUE(Purge(Retr(3, kZoeBody) + Retr(1, kSpamBody) + Dele(3) + Dele(1) + Quit()).IsDone());
    const std::string ledger = FileBytes(paths.spamWords / "Appris.TXT");
    EXPECT_EQ(ledger, "S\t" + LearningKeyOfText(kZoeBody) + "\r\nS\t" + LearningKeyOfText(kSpamBody) + "\r\n")
        << "highest number first, as the purge deletes";
    EXPECT_TRUE(fs::exists(paths.spamWords / "wordlist.db"));
}

TEST_F(CorbeilleFixture, PurgeKeepsByteIdenticalCopiesOfExactlyTheDeleted) {
    const Outcome outcome = Purge(Retr(3, kZoeBody) + Retr(1, kSpamBody) + Dele(3) + Dele(1) + Quit());
    ASSERT_TRUE(outcome.IsDone()) << outcome.shown;
    EXPECT_TRUE(finished) << transcript;
    const std::vector<CorbeilleEntry> kept = Kept();
    ASSERT_EQ(kept.size(), 2u);
    std::vector<std::string> bytes;
    for (const CorbeilleEntry& e : kept) bytes.push_back(FileBytes(paths.corbeille / e.file));
    std::sort(bytes.begin(), bytes.end());
    EXPECT_EQ(bytes, (std::vector<std::string>{kSpamBody, kZoeBody}));
    EXPECT_EQ(kept[0].account, "anne@127.0.0.1:" + IntToStr(port));
    const std::string journal = FileBytes(paths.journal);
    for (const CorbeilleEntry& e : kept)
        EXPECT_NE(journal.find("\t" + fs::path(e.file).filename().string() + "\tinconnue\r\n"),
                  std::string::npos)
            << journal;
    const fs::path file = paths.corbeille / kept[0].file;
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(paths.corbeille).permissions() & fs::perms::all, fs::perms::owner_all);
}

// A file larger than the process may write fails its copy half-way, as a
// full disk does: that message stays on the server, the other goes.
TEST_F(CorbeilleFixture, WriteFailureSendsNoDeleForThatMessage) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 30000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const Outcome outcome = Purge(Retr(3, kZoeBody) + Retr(1, kSpamBody) + Dele(1) + Quit());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_TRUE(finished) << transcript;
    EXPECT_EQ(outcome.fault, Outcome::Fault::LocalFile);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "DELE 3"), 0);
    EXPECT_TRUE(window.dialogs.shown.back().starts_with(
        "error: " +
        std::string("Le message 3 n'a pas pu être conservé dans la corbeille : il n'a pas été supprimé")))
        << window.dialogs.shown.back();
    const std::vector<CorbeilleEntry> kept = Kept();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(FileBytes(paths.corbeille / kept[0].file), kSpamBody);
    EXPECT_TRUE(fs::is_empty(paths.corbeille / "tmp")) << "no partial file left";
}

TEST_F(CorbeilleFixture, DropAfterRetrKeepsTheCopyAndDeletesNothing) {
    const Outcome outcome = Purge(Retr(3, kZoeBody) + "!close\n");
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "QUIT"), 0);
    EXPECT_FALSE(fs::exists(paths.journal)) << "nothing was deleted";
    const std::vector<CorbeilleEntry> kept = Kept();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(FileBytes(paths.corbeille / kept[0].file), kZoeBody);
}

TEST_F(CorbeilleFixture, SizeCapKeepsTheHeaderOnly) {
    PutFile(paths.settings, "[Form]\r\nCorbeille=1\r\nCorbeilleTailleMax=1\r\n");
    const std::string big = "From: Zo\xE9 <zoe@example.fr>\r\nSubject: Re: Salut\r\n\r\n" +
                            std::string(1100000, 'x') + "\r\nfin\r\n";
    ASSERT_TRUE(Purge(Retr(3, big) + Retr(1, kSpamBody) + Dele(3) + Dele(1) + Quit()).IsDone());
    const std::vector<CorbeilleEntry> kept = Kept();
    ASSERT_EQ(kept.size(), 2u);
    const auto zoe =
        std::find_if(kept.begin(), kept.end(), [](const auto& e) { return e.subject == "Re: Salut"; });
    ASSERT_NE(zoe, kept.end());
    EXPECT_TRUE(zoe->headerOnly);
    EXPECT_EQ(zoe->size, big.size());
    EXPECT_EQ(FileBytes(paths.corbeille / zoe->file),
              "From: Zo\xE9 <zoe@example.fr>\r\nSubject: Re: Salut\r\n\r\n");
    EXPECT_NE(FileBytes(paths.journal).find(" (en-tête seulement)\t"), std::string::npos);
}

// Copies made at these ages (days) and sizes; which the start-up removes.
struct RetentionCase {
    const char* name;
    int days;
    std::uint64_t totalBytes;
    std::vector<std::pair<int, int>> copies;  // age in days, size in bytes, oldest first
    std::vector<int> kept;                    // their indexes, newest first
};
const RetentionCase kRetention[] = {
    {"older_than_the_days_go", 30, 1u << 20, {{45, 10}, {31, 10}, {29, 10}, {0, 10}}, {3, 2}},
    {"nothing_old_nothing_goes", 30, 1u << 20, {{10, 10}, {1, 10}}, {1, 0}},
    {"over_the_total_oldest_go_first", 365, 250, {{5, 100}, {4, 100}, {3, 100}, {2, 100}}, {3, 2}},
};
class Retention : public testing::TestWithParam<RetentionCase> {};
TEST_P(Retention, RemovesTheOldCopiesAndNothingElse) {
    ScratchFolder dir;
    CorbeilleLimits limits;
    limits.days = GetParam().days;
    limits.totalBytes = GetParam().totalBytes;
    Corbeille corbeille(dir / "Corbeille", limits);
    const std::time_t now = 1800000000;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < GetParam().copies.size(); ++i) {
        CorbeilleEntry entry;
        entry.deletedAt = now - GetParam().copies[i].first * 86400 - 60;
        entry.subject = "copie " + IntToStr(static_cast<int>(i));
        auto copy = corbeille.Begin(entry);
        copy->Append(std::string(static_cast<std::size_t>(GetParam().copies[i].second), 'm'));
        corbeille.Sync({copy->Keep()});
    }
    PutFile(dir / "Corbeille" / "Liste.TXT", "pas une copie");
    corbeille.Prune(now);
    std::vector<std::string> subjects;
    for (const CorbeilleEntry& e : corbeille.List()) subjects.push_back(e.subject);
    std::vector<std::string> expected;
    for (int i : GetParam().kept) expected.push_back("copie " + IntToStr(i));
    EXPECT_EQ(subjects, expected);
    EXPECT_EQ(FileBytes(dir / "Corbeille" / "Liste.TXT"), "pas une copie");
}
INSTANTIATE_TEST_SUITE_P(Table, Retention, testing::ValuesIn(kRetention),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// An index that is a FIFO would hold the first write to it for ever: it is
// refused before any copy, and so no message goes.
TEST_F(CorbeilleFixture, AnIndexThatIsNotARegularFileStopsThePurgeAndDeletesNothing) {
    fs::create_directories(paths.corbeille);
    ASSERT_EQ(::mkfifo((paths.corbeille / "Index.TXT").c_str(), 0600), 0);
    const Outcome outcome = Purge(Retr(3, kZoeBody) + Retr(1, kSpamBody) + Quit());
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(outcome.fault, Outcome::Fault::LocalFile);
    EXPECT_TRUE(finished) << transcript;
    EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                            [](const std::string& c) { return c.starts_with("DELE"); }),
              0);
    EXPECT_FALSE(fs::exists(paths.journal)) << "nothing was deleted";
}

// The server refuses DELE 3 after DELE 1 rode along: RSET undoes that one
// too. Both copies stay, neither listed as deleted.
TEST_F(CorbeilleFixture, ACopyWhoseDeleWasRefusedIsListedAsNotDeleted) {
    const Outcome outcome =
        Purge(Retr(3, kZoeBody) + Retr(1, kSpamBody) + "C: DELE 3\nS: -ERR [IN-USE] occupé\n" + Dele(1) +
              "C: RSET\nS: +OK\n" + Quit());
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_TRUE(finished) << transcript;
    EXPECT_FALSE(fs::exists(paths.journal)) << "nothing was deleted";
    const std::vector<CorbeilleEntry> kept = Kept();
    ASSERT_EQ(kept.size(), 2u);
    for (const CorbeilleEntry& e : kept) {
        EXPECT_FALSE(e.deleted) << e.subject;
        EXPECT_EQ(DeletedText(e), "non supprimé");
    }
}

// What the start-up's clean-up and "vider" may remove: the copies the index
// names, in the Corbeille's own folders, never a file reached through a
// link nor one the index does not name.
struct StrangerCase {
    const char* name;
    const char* link;  // the subfolder made a link to the stranger's folder; "" for none
    bool refused;      // "vider" fails (ECorbeilleError)
};
const StrangerCase kStrangers[] = {
    {"cur_a_link_to_another_folder", "cur", true},
    {"new_a_link_to_another_folder", "new", true},
    {"a_file_the_index_does_not_name", "", false},
};
class Stranger : public testing::TestWithParam<StrangerCase> {};
TEST_P(Stranger, IsNeverRemoved) {
    ScratchFolder dir;
    const fs::path folder = dir / "Corbeille";
    const std::time_t now = 1800000000;
    Corbeille corbeille(folder, {});
    CorbeilleEntry entry;
    entry.deletedAt = now - 45 * 86400;
    auto copy = corbeille.Begin(entry);
    copy->Append("From: a\r\n\r\nold\r\n");
    corbeille.Sync({copy->Keep()});
    // Someone else's old file, where the link leads or beside the copies.
    const fs::path elsewhere = *GetParam().link ? dir / "ailleurs" : folder / "new";
    fs::create_directories(elsewhere);
    PutFile(elsewhere / "document.txt", "à garder");
    fs::last_write_time(elsewhere / "document.txt",
                        fs::file_time_type::clock::now() - std::chrono::hours(24 * 90));
    if (*GetParam().link) {
        fs::remove_all(folder / GetParam().link);
        fs::create_directory_symlink(elsewhere, folder / GetParam().link);
    }

    corbeille.Prune(now);
    EXPECT_EQ(FileBytes(elsewhere / "document.txt"), "à garder");
    if (GetParam().refused) {
        EXPECT_THROW(Corbeille(folder, {}).Empty(), ECorbeilleError);
    } else {
        Corbeille(folder, {}).Empty();
    }
    EXPECT_EQ(FileBytes(elsewhere / "document.txt"), "à garder");
}
INSTANTIATE_TEST_SUITE_P(Table, Stranger, testing::ValuesIn(kStrangers),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// What the index keeps of the sender's provider verdict and of a refused
// deletion, read back; an index line written before the verdict was kept
// still reads as it did.
struct IndexFlagsCase {
    const char* name;
    SenderAuthentication authentication;
    bool deleted;
};
const IndexFlagsCase kIndexFlags[] = {
    {"unknown_deleted", SenderAuthentication::Unknown, true},
    {"authenticated_deleted", SenderAuthentication::Authenticated, true},
    {"failed_not_deleted", SenderAuthentication::Failed, false},
};
class IndexFlags : public testing::TestWithParam<IndexFlagsCase> {};
TEST_P(IndexFlags, ComeBackFromTheIndex) {
    ScratchFolder dir;
    Corbeille corbeille(dir / "Corbeille", {});
    CorbeilleEntry entry;
    entry.subject = "Sujet";
    entry.authentication = GetParam().authentication;
    entry.deleted = GetParam().deleted;
    std::unique_ptr<CorbeilleCopy> copy = corbeille.Begin(entry);
    copy->Append("From: a@b.fr\r\n\r\ncorps\r\n");
    corbeille.Sync({copy->Keep()});
    const std::vector<CorbeilleEntry> listed = corbeille.List();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].authentication, GetParam().authentication);
    EXPECT_EQ(listed[0].deleted, GetParam().deleted);
    EXPECT_FALSE(listed[0].headerOnly);
}
INSTANTIATE_TEST_SUITE_P(Table, IndexFlags, testing::ValuesIn(kIndexFlags),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
