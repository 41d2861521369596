// The scan's and the purge's batches against the scripted server: which
// commands go out in which order with and without PIPELINING, and what a
// refusal or a dropped connection in the middle of a window leaves behind.
// A script that lists every command before the first answer can only be
// followed by a client that sends ahead.
#include <gtest/gtest.h>

#include <algorithm>

#include "message/message.h"
#include "net/anti_freeze.h"
#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "pop3/pop3_errors.h"
#include "support/expect_error.h"
#include "support/pop3_script_pieces.h"
#include "support/scripted_pop3_server.h"

namespace {
auto byName = [](const auto& info) { return std::string(info.param.name); };

std::string Sent(std::initializer_list<const char*> commands) {
    std::string script;
    for (const char* command : commands) script += "C: " + std::string(command) + "\n";
    return script;
}
std::string TopAnswer(int i) {
    return MultiLineReply("+OK", Header("A <a@x.fr>", "s" + IntToStr(i)) + "\n\n");
}
std::string ListAnswer(int i, int size) { return "S: +OK " + IntToStr(i) + " " + IntToStr(size) + "\n"; }
std::string TopOf(int i) { return Top(i, Header("A <a@x.fr>", "s" + IntToStr(i))); }
const std::string kAllSixAhead = Sent({"TOP 1 0", "LIST 1", "TOP 2 0", "LIST 2", "TOP 3 0", "LIST 3"});
const std::string kListing = "C: LIST\nS: +OK 3 messages\nS: 1 100\nS: 2 200\nS: 3 300\nS: .\n";

enum Outcome { kDone, kRefused, kClosed, kMismatch, kBadListing, kUnanswered };

// Runs `action` in a session on `script` (after the log-in); the outcome and
// whether the client was left connected.
struct BatchRun {
    BatchRun(const std::string& script, TIdPOP3::TIdPOP3Batching batching)
        : server(Login() + script, std::chrono::seconds(10)) {
        pop.Host = "127.0.0.1";
        pop.Port = server.Port();
        pop.Username = "anne";
        pop.Password = "secret";
        pop.ReadTimeout = 5000;  // a client that waits for an answer the script holds back
        pop.PipelineAnswerLimit = 1000;
        pop.Batching = batching;
        pop.OnStatus = [this](TIdComponent&, TIdStatus, const std::string& text) {
            oneAtATime = oneAtATime || text.find("une à une") != std::string::npos;
        };
    }
    template <typename Action>
    Outcome Go(Action&& action) {
        pop.OpenSession();
        Outcome outcome = kDone;
        try {
            pop.Capabilities();
            action();
        } catch (const EIdProtocolReplyError&) {
            outcome = kRefused;
        } catch (const EIdConnClosedGracefully&) {
            outcome = kClosed;
        } catch (const EIdPOP3AnswerMismatch&) {
            outcome = kMismatch;
        } catch (const EIdPOP3BadListing&) {
            outcome = kBadListing;
        } catch (const EIdPOP3BatchUnanswered&) {
            outcome = kUnanswered;
        }
        pop.CloseSession();
        server.ExpectFinished();
        return outcome;
    }
    ScriptedPop3Server server;
    TIdPOP3 pop;
    bool oneAtATime = false;  // the status said the commands now go one at a time
};

struct ScanCase {
    const char* name;
    TIdPOP3::TIdPOP3Batching batching;
    int count;
    std::string script;  // from CAPA to the end
    const char* events;
    Outcome outcome;
    bool ids = false;         // the unique ids asked as well
    bool oneAtATime = false;  // a batch went unanswered
};
const std::string kIds = "S: +OK\nS: 1 a\nS: 2 b\nS: .\n";
const ScanCase kScans[] = {
    {"pipelined_sends_every_command_first", TIdPOP3::pbAuto, 3,
     Capa() + kAllSixAhead + TopAnswer(1) + ListAnswer(1, 100) + TopAnswer(2) + ListAnswer(2, 200) +
         TopAnswer(3) + ListAnswer(3, 300) + Quit(),
     "h1 s1=100 h2 s2=200 h3 s3=300", kDone},
    {"without_pipelining_one_list_then_tops", TIdPOP3::pbAuto, 3,
     Capa(false) + kListing + TopOf(1) + TopOf(2) + TopOf(3) + Quit(), "h1 s1=100 h2 s2=200 h3 s3=300",
     kDone},
    {"capa_refused_is_no_pipelining", TIdPOP3::pbAuto, 1,
     "C: CAPA\nS: -ERR unknown command\nC: LIST\nS: +OK\nS: 1 100\nS: .\n" + TopOf(1) + Quit(), "h1 s1=100",
     kDone},
    {"list_refused_falls_back_to_list_n", TIdPOP3::pbAuto, 2,
     Capa(false) + "C: LIST\nS: -ERR busy\n" + TopOf(1) + List(1, 100) + TopOf(2) + List(2, 200) + Quit(),
     "h1 s1=100 h2 s2=200", kDone},
    {"number_missing_from_listing_is_asked_alone", TIdPOP3::pbAuto, 3,
     Capa(false) + "C: LIST\nS: +OK\nS: 1 100\nS: 3 300 octets\nS: .\n" + TopOf(1) + TopOf(2) + List(2, 200) +
         TopOf(3) + Quit(),
     "h1 s1=100 h2 s2=200 h3 s3=-1", kDone},
    // An answer that names another message, or one answer too many, ends the
    // session without QUIT: nothing marked in it can be removed.
    {"pipelined_list_answer_of_another_message", TIdPOP3::pbAuto, 2,
     Capa() + Sent({"TOP 1 0", "LIST 1", "TOP 2 0", "LIST 2"}) + TopAnswer(1) + ListAnswer(2, 200), "h1",
     kMismatch},
    {"serial_list_answer_of_another_message", TIdPOP3::pbSerial, 2,
     Capa() + TopOf(1) + "C: LIST 1\nS: +OK 2 200\n", "h1", kMismatch},
    {"one_answer_more_than_the_commands", TIdPOP3::pbAuto, 1,
     Capa() + Sent({"TOP 1 0", "LIST 1"}) +
         "!raw +OK\\r\\nSubject: s1\\r\\n.\\r\\n+OK 1 100\\r\\n+OK 2 200\\r\\n\n",
     "h1 s1=100", kMismatch},
    // A listing line that is no "n size" of 1..count, each n once, is no row.
    {"listing_negative_size", TIdPOP3::pbAuto, 2, Capa(false) + "C: LIST\nS: +OK\nS: 2 200\nS: 1 -7\n", "",
     kBadListing},
    {"listing_size_not_a_number", TIdPOP3::pbAuto, 2, Capa(false) + "C: LIST\nS: +OK\nS: 2 200\nS: 1 gros\n",
     "", kBadListing},
    {"listing_without_size", TIdPOP3::pbAuto, 2, Capa(false) + "C: LIST\nS: +OK\nS: 2 200\nS: 1\n", "",
     kBadListing},
    {"listing_number_twice", TIdPOP3::pbAuto, 2, Capa(false) + "C: LIST\nS: +OK\nS: 1 100\nS: 1 200\n", "",
     kBadListing},
    {"listing_number_past_the_count", TIdPOP3::pbAuto, 2,
     Capa(false) + "C: LIST\nS: +OK\nS: 1 100\nS: 2 200\nS: 3 300\n", "", kBadListing},
    {"listing_number_zero", TIdPOP3::pbAuto, 2, Capa(false) + "C: LIST\nS: +OK\nS: 0 100\n", "", kBadListing},
    {"serial_forced", TIdPOP3::pbSerial, 2,
     Capa() + TopOf(1) + List(1, 100) + TopOf(2) + List(2, 200) + Quit(), "h1 s1=100 h2 s2=200", kDone},
    {"one_list_forced", TIdPOP3::pbOneList, 3, Capa() + kListing + TopOf(1) + TopOf(2) + TopOf(3) + Quit(),
     "h1 s1=100 h2 s2=200 h3 s3=300", kDone},
    {"closed_in_the_window", TIdPOP3::pbAuto, 3,
     Capa() + kAllSixAhead + TopAnswer(1) + ListAnswer(1, 100) + "S: +OK\nS: Subject: x\n!close\n",
     "h1 s1=100", kClosed},
    {"refused_in_the_window_later_answers_read", TIdPOP3::pbAuto, 3,
     Capa() + kAllSixAhead + TopAnswer(1) + ListAnswer(1, 100) + "S: -ERR no such message\n" +
         ListAnswer(2, 200) + TopAnswer(3) + ListAnswer(3, 300) + Quit(),
     "h1 s1=100", kRefused},
    {"empty_mailbox_sends_nothing", TIdPOP3::pbAuto, 0, Capa(false) + Quit(), "", kDone},
    {"pipelined_uidl_goes_with_the_last_commands", TIdPOP3::pbAuto, 2,
     Capa() + Sent({"TOP 1 0", "LIST 1", "TOP 2 0", "LIST 2", "UIDL"}) + TopAnswer(1) + ListAnswer(1, 100) +
         TopAnswer(2) + ListAnswer(2, 200) + kIds + Quit(),
     "h1 s1=100 h2 s2=200 ids=a,b", kDone, true},
    {"uidl_refused_gives_no_ids", TIdPOP3::pbAuto, 1,
     Capa() + Sent({"TOP 1 0", "LIST 1", "UIDL"}) + TopAnswer(1) + ListAnswer(1, 100) + "S: -ERR no\n" +
         Quit(),
     "h1 s1=100 ids=", kDone, true},
    // A server that lists PIPELINING but never answers what came ahead: the
    // commands go again one at a time and the scan ends as it would have.
    {"batch_dropped_goes_again_one_at_a_time", TIdPOP3::pbAuto, 2,
     Capa() + "C: TOP 1 0\n!drop\n" + TopOf(1) + List(1, 100) + TopOf(2) + List(2, 200) + "C: UIDL\n" + kIds +
         Quit(),
     "h1 s1=100 h2 s2=200 ids=a,b", kDone, true, true},
    // Only slow: the answers come after all, the first command's twice.
    {"batch_answered_late_is_not_sent_again", TIdPOP3::pbAuto, 2,
     Capa() + Sent({"TOP 1 0", "LIST 1", "TOP 2 0", "LIST 2", "UIDL"}) + "!pause 1500\nC: TOP 1 0\n" +
         TopAnswer(1) + ListAnswer(1, 100) + TopAnswer(2) + ListAnswer(2, 200) + kIds + TopAnswer(1) + Quit(),
     "h1 s1=100 h2 s2=200 ids=a,b", kDone, true, true},
    {"without_pipelining_uidl_after_the_headers", TIdPOP3::pbAuto, 2,
     Capa(false) + "C: LIST\nS: +OK\nS: 1 100\nS: 2 200\nS: .\n" + TopOf(1) + TopOf(2) + "C: UIDL\n" + kIds +
         Quit(),
     "h1 s1=100 h2 s2=200 ids=a,b", kDone, true},
};
class ScanBatch : public testing::TestWithParam<ScanCase> {};
TEST_P(ScanBatch, CommandsAndEvents) {
    BatchRun run(GetParam().script, GetParam().batching);
    TIdMessage message;
    std::string events;
    TIdPOP3::ScanEvents handlers{
        [&](int n, TIdMessage& m) {
            EXPECT_EQ(&m, &message);
            EXPECT_EQ(m.HeaderLines.ValueOf("Subject"), "s" + IntToStr(n))
                << "the message holds header n alone";
            events += (events.empty() ? "h" : " h") + IntToStr(n);
        },
        [&](int n, int size) { events += " s" + IntToStr(n) + "=" + IntToStr(size); },
        {}};
    if (GetParam().ids)
        handlers.uniqueIds = [&](std::vector<std::string>&& ids) {
            events += " ids=";
            for (std::size_t n = 1; n < ids.size(); ++n) events += (n > 1 ? "," : "") + ids[n];
        };
    EXPECT_EQ(run.Go([&] { run.pop.ScanHeaders(GetParam().count, message, handlers); }), GetParam().outcome);
    EXPECT_EQ(events, GetParam().events);
    EXPECT_EQ(run.oneAtATime, GetParam().oneAtATime);
}
INSTANTIATE_TEST_SUITE_P(Table, ScanBatch, testing::ValuesIn(kScans), byName);

// DELE alone, or each message copied first, its copies then flushed once,
// or not: the flush fails.
enum Deletion { kDeleteOnly, kCopies, kCopiesNotDurable };
struct DeleteCase {
    const char* name;
    bool pipelining;
    std::string script;  // after CAPA
    Outcome outcome;
    Deletion deletion;
};
const std::string kThreeDeles = Sent({"DELE 5", "DELE 3", "DELE 1"});
std::string CopyOf(int i) { return MultiLineReply("+OK", "Subject: copie " + IntToStr(i) + "\n\n.corps\n"); }
// Each DELE is awaited before the next message's answer is sent: a client
// that held it back for a later batch would wait for that answer forever.
const std::string kThreeCopies = Sent({"RETR 5", "RETR 3", "RETR 1"}) + CopyOf(5) + "C: DELE 5\n" +
                                 CopyOf(3) + "C: DELE 3\n" + CopyOf(1) +
                                 "C: DELE 1\nS: +OK\nS: +OK\nS: +OK\n";
const DeleteCase kDeletes[] = {
    {"pipelined_in_one_batch", true, kThreeDeles + "S: +OK\nS: +OK\nS: +OK\n" + Quit(), kDone, kDeleteOnly},
    {"refused_then_accepted_is_undone", true,
     kThreeDeles + "S: +OK\nS: -ERR locked\nS: +OK\nC: RSET\nS: +OK\nC: DELE 5\nS: +OK\n" + Quit(), kRefused,
     kDeleteOnly},
    {"refused_then_refused_needs_no_reset", true, kThreeDeles + "S: +OK\nS: -ERR locked\nS: -ERR\n" + Quit(),
     kRefused, kDeleteOnly},
    {"failed_undo_leaves_without_quit", true,
     kThreeDeles + "S: +OK\nS: -ERR locked\nS: +OK\nC: RSET\nS: -ERR no\n", kRefused, kDeleteOnly},
    {"closed_in_the_batch_leaves_without_quit", true, kThreeDeles + "S: +OK\n!close\n", kClosed, kDeleteOnly},
    {"without_pipelining_one_at_a_time", false, Dele(5) + "C: DELE 3\nS: -ERR locked\n" + Quit(), kRefused,
     kDeleteOnly},
    // Unanswered DELEs are never sent twice: whether they counted is unknown.
    {"unanswered_leaves_without_quit", true, kThreeDeles + "!drop\n", kUnanswered, kDeleteOnly},
    {"one_answer_more_than_the_deles_leaves_without_quit", true,
     kThreeDeles + "!raw +OK\\r\\n+OK\\r\\n+OK\\r\\n+OK\\r\\n\n", kMismatch, kDeleteOnly},
    {"copies_each_dele_follows_its_copy", true, kThreeCopies + Quit(), kDone, kCopies},
    {"copies_not_durable_leave_without_quit", true, kThreeCopies, kDone, kCopiesNotDurable},
    {"copies_without_pipelining_one_at_a_time", false,
     "C: RETR 5\n" + CopyOf(5) + Dele(5) + "C: RETR 3\nS: -ERR no such message\nC: RETR 1\n" + CopyOf(1) +
         Dele(1) + Quit(),
     kDone, kCopies},
    {"copies_dele_refused_is_undone_then_flushed", true,
     Sent({"RETR 5", "RETR 3", "RETR 1"}) + CopyOf(5) + "C: DELE 5\n" + CopyOf(3) + "C: DELE 3\n" +
         CopyOf(1) + "C: DELE 1\nS: +OK\nS: -ERR locked\nS: +OK\nC: RSET\nS: +OK\nC: DELE 5\nS: +OK\n" +
         Quit(),
     kRefused, kCopies},
};
class DeleteBatch : public testing::TestWithParam<DeleteCase> {};
TEST_P(DeleteBatch, OnlyConfirmedDeletionsReachQuit) {
    const DeleteCase& c = GetParam();
    BatchRun run(Capa(c.pipelining) + c.script, TIdPOP3::pbAuto);
    std::string bytes;
    int flushes = 0;
    const TIdPOP3::CopyEvents events{
        [&](int n) { bytes += "[" + IntToStr(n) + "]"; }, [&](std::string_view piece) { bytes += piece; },
        [](int, bool retrieved) { return retrieved; }, [&] { return ++flushes, c.deletion == kCopies; }};
    EXPECT_EQ(run.Go([&] {
        if (c.deletion == kDeleteOnly) run.pop.DeleteMessages({5, 3, 1});
        if (c.deletion != kDeleteOnly) run.pop.CopyAndDeleteMessages({5, 3, 1}, events);
    }),
              c.outcome);
    EXPECT_EQ(flushes, c.deletion == kDeleteOnly ? 0 : 1) << "one flush, before QUIT";
    if (c.deletion != kDeleteOnly) {
        EXPECT_TRUE(bytes.starts_with("[5]Subject: copie 5\r\n\r\n.corps\r\n[")) << bytes;
    }
}
INSTANTIATE_TEST_SUITE_P(Table, DeleteBatch, testing::ValuesIn(kDeletes), byName);

TEST(ScanBatch, AntiFreezePumpsWhileThePipelinedAnswersAreAwaited) {
    TIdAntiFreeze antiFreeze;
    antiFreeze.IdleTimeOut = 50;
    int pumps = 0;
    antiFreeze.SetMessagePump([&](bool) { ++pumps; });
    BatchRun run(
        Capa() + Sent({"TOP 1 0", "LIST 1"}) + "!pause 400\n" + TopAnswer(1) + ListAnswer(1, 100) + Quit(),
        TIdPOP3::pbAuto);
    TIdMessage message;
    EXPECT_EQ(run.Go([&] {
        run.pop.ScanHeaders(1, message, {[](int, TIdMessage&) {}, [](int, int) {}, {}});
    }),
              kDone);
    EXPECT_GE(pumps, 3);
}

TEST(Capabilities, KeywordsMatchInAnyCaseAndEndWithTheSession) {
    BatchRun run(
        "C: CAPA\nS: +OK\nS: pipelining\nS: SASL PLAIN\nS: .\n" + Quit() + kNextSession + Login() + Quit(),
        TIdPOP3::pbAuto);
    run.pop.OpenSession();
    run.pop.Capabilities();
    EXPECT_TRUE(run.pop.HasCapability("PIPELINING"));
    EXPECT_TRUE(run.pop.HasCapability("sasl"));
    EXPECT_FALSE(run.pop.HasCapability("PLAIN"));
    run.pop.CloseSession();
    run.pop.OpenSession();
    EXPECT_FALSE(run.pop.HasCapability("PIPELINING"));
    run.pop.CloseSession();
    run.server.ExpectFinished();
}

// A listing that does not end costs neither all the memory nor all the time:
// past its bound the connection is dropped, with no QUIT behind the rest.
struct ListingCase {
    const char* name;
    std::string script;  // after the log-in
    std::size_t maxBytes, maxLines;
    enum { kCapa, kList, kUidl } listing;  // CAPA alone, or CAPA then the scan's LIST or UIDL
};
const ListingCase kListings[] = {
    {"capa_lines", "C: CAPA\nS: +OK\nS: TOP\nS: USER\nS: UIDL\nS: SASL\nS: .\n", 1000, 3, ListingCase::kCapa},
    {"capa_bytes", "C: CAPA\nS: +OK\nS: " + std::string(60, 'X') + "\nS: .\n", 50, 100, ListingCase::kCapa},
    {"list_lines", "C: CAPA\nS: +OK\nS: .\n" + std::string("C: LIST\nS: +OK\nS: 1 100\nS: 2 200\nS: 3 300\n"),
     1000, 2, ListingCase::kList},
    {"uidl_lines", "C: CAPA\nS: +OK\nS: .\nC: UIDL\nS: +OK\nS: 1 a\nS: 2 b\nS: 3 c\nS: .\n", 1000, 2,
     ListingCase::kUidl},
};

// A unique-id listing holds each message of 1..count once at most.
struct IdListingCase {
    const char* name;
    std::string listing;  // the lines after "+OK"
};
const IdListingCase kBadIdListings[] = {
    {"number_twice", "S: 1 a\nS: 1 b\n"},
    {"number_past_the_count", "S: 1 a\nS: 4 d\n"},
    {"number_not_a_number", "S: un a\n"},
};
class BadIdListing : public testing::TestWithParam<IdListingCase> {};
TEST_P(BadIdListing, DropsTheConnectionWithoutQuit) {
    BatchRun run(Capa(false) + "C: UIDL\nS: +OK\n" + GetParam().listing, TIdPOP3::pbAuto);
    EXPECT_EQ(run.Go([&] { run.pop.ListUniqueIds(3); }), kBadListing);
}
INSTANTIATE_TEST_SUITE_P(Table, BadIdListing, testing::ValuesIn(kBadIdListings), byName);
class ListingBound : public testing::TestWithParam<ListingCase> {};
TEST_P(ListingBound, DropsTheConnectionWithAClearError) {
    BatchRun run(GetParam().script, TIdPOP3::pbOneList);
    run.pop.MaxListingBytes = GetParam().maxBytes;
    run.pop.MaxListingLines = GetParam().maxLines;
    run.pop.OpenSession();
    TIdMessage message;
    auto e = ExpectThrown<EIdPOP3ListingTooLarge>([&] {
        run.pop.Capabilities();
        if (GetParam().listing == ListingCase::kList)
            run.pop.ScanHeaders(3, message, {[](int, TIdMessage&) {}, [](int, int) {}, {}});
        if (GetParam().listing == ListingCase::kUidl) run.pop.ListUniqueIds(3);
    });
    if (e) {
        EXPECT_EQ(e->Message(), std::string(pop3_text::kListingTooLarge));
    }
    EXPECT_FALSE(run.pop.IsConnected());
    run.pop.CloseSession();
    run.server.ExpectFinished();
    const std::vector<std::string> sent = run.server.Commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "QUIT"), 0);
}
INSTANTIATE_TEST_SUITE_P(Table, ListingBound, testing::ValuesIn(kListings), byName);
}  // namespace
