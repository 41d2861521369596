// Line input over an in-memory transport, fed in pieces of several sizes.
#include <gtest/gtest.h>

#include <sstream>

#include "net/net_errors.h"
#include "net/tcp_connection.h"
#include "platform/text.h"
#include "support/expect_error.h"
#include "support/fake_transport.h"

namespace {
auto byName = [](const auto& info) { return std::string(info.param.name); };
constexpr std::size_t kChunks[] = {1, 2, 3, 7, 0};

// A connection over a fake transport that serves `bytes` `chunk` at a time
// and then closes.
struct Fed {
    Fed(std::string bytes, std::size_t chunk)
        : fake(&InstallFakeTransport(connection, std::move(bytes), chunk)) {
        connection.OnStatus = [this](TIdComponent&, TIdStatus status, const std::string& text) {
            statuses.push_back(text);
            (void)status;
        };
    }
    TIdTCPConnection connection;
    FakeTransport* fake;
    std::vector<std::string> statuses;
};

struct LineCase {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
};
const LineCase kLines[] = {
    {"crlf_ends", "+OK 2 320\r\n", {"+OK 2 320"}},
    {"bare_lf_ends", "+OK 2 320\n", {"+OK 2 320"}},
    {"cr_cr_lf_keeps_one_cr", "abc\r\r\n", {"abc\r"}},
    {"cr_inside_line_stays", "a\rb\r\n", {"a\rb"}},
    {"two_lines", "one\r\ntwo\r\n", {"one", "two"}},
    {"empty_lines", "\r\n\n", {"", ""}},
    {"only_cr_is_not_an_end", "\r\r\n", {"\r"}},
    {"high_bytes_pass", "\xE9t\xE9 \xFF\r\n", {"\xE9t\xE9 \xFF"}},
    {"nul_byte_stays", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
};
class ReadLine : public testing::TestWithParam<LineCase> {};
TEST_P(ReadLine, SameLinesWhateverThePieces) {
    for (std::size_t chunk : kChunks) {
        SCOPED_TRACE(chunk);
        Fed fed(GetParam().input, chunk);
        for (const std::string& expected : GetParam().lines) EXPECT_EQ(fed.connection.ReadLine(), expected);
        EXPECT_EQ(fed.fake->Unread(), 0u);
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, ReadLine, testing::ValuesIn(kLines), byName);

TEST(ReadLine, TwoLinesInOneReceiveNeedNoSecondReceive) {
    Fed fed("one\r\ntwo\r\n", 0);
    EXPECT_EQ(fed.connection.ReadLine(), "one");
    EXPECT_EQ(fed.connection.ReadLine(), "two");
    EXPECT_EQ(fed.fake->RecvCalls(), 1);
}

TEST(ReadLine, OneBytePerReceiveIsAssembled) {
    Fed fed("+OK ready\r\n", 1);
    EXPECT_EQ(fed.connection.ReadLine(), "+OK ready");
    EXPECT_EQ(fed.fake->RecvCalls(), 11);
}

struct LimitCase {
    const char* name;
    std::size_t length;  // characters before the line end
    const char* end;
    bool accepted;
};
const LimitCase kLimits[] = {
    {"crlf_16383_accepted", 16383, "\r\n", true},   {"crlf_16384_refused", 16384, "\r\n", false},
    {"lf_16384_accepted", 16384, "\n", true},       {"lf_16385_refused", 16385, "\n", false},
    {"no_end_yet_16385_refused", 16385, "", false},
};
class LineLimit : public testing::TestWithParam<LimitCase> {};
TEST_P(LineLimit, CountsEverythingBeforeTheLf) {
    for (std::size_t chunk : {std::size_t{0}, std::size_t{4096}, std::size_t{7}}) {
        SCOPED_TRACE(chunk);
        std::string line(GetParam().length, 'x');
        Fed fed(line + GetParam().end + "next\r\n", chunk);
        fed.fake->SetStayOpen(true);
        if (GetParam().accepted) {
            EXPECT_EQ(fed.connection.ReadLine(), line);
            EXPECT_EQ(fed.connection.ReadLine(), "next");
        } else {
            if (auto e = ExpectThrown<EIdReadLnMaxLineLengthExceeded>([&] { fed.connection.ReadLine(); })) {
                EXPECT_EQ(e->Message(), std::string("Longueur de ligne maximum dépassée."));
            }
        }
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, LineLimit, testing::ValuesIn(kLimits), byName);

TEST(ReadLine, SplitActionCutsAtTheLimit) {
    Fed fed("abcdefgh\r\n", 0);
    fed.connection.MaxLineLength = 5;
    fed.connection.MaxLineAction = maSplit;
    EXPECT_EQ(fed.connection.ReadLine(), "abcde");
    EXPECT_TRUE(fed.connection.LastLineSplit());
    EXPECT_EQ(fed.connection.ReadLine(), "fgh");
    EXPECT_FALSE(fed.connection.LastLineSplit());
}

struct CloseCase {
    const char* name;
    std::string input;
    std::string first;  // what the first read gives
    bool timedOut;      // ... with LastLineTimedOut
};
const CloseCase kCloses[] = {
    {"after_complete_line", "+OK bye\r\n", "+OK bye", false},
    {"after_partial_line", "+OK par", "", true},
    {"after_cr_without_lf", "+OK\r", "", true},
};
class PeerClose : public testing::TestWithParam<CloseCase> {};
TEST_P(PeerClose, NextReadRaisesAndDisconnectedIsReportedOnce) {
    for (std::size_t chunk : kChunks) {
        SCOPED_TRACE(chunk);
        Fed fed(GetParam().input, chunk);
        EXPECT_EQ(fed.connection.ReadLine(), GetParam().first);
        EXPECT_EQ(fed.connection.LastLineTimedOut(), GetParam().timedOut);
        if (auto e = ExpectThrown<EIdConnClosedGracefully>([&] { fed.connection.ReadLine(); })) {
            EXPECT_EQ(e->Message(), std::string("La connexion s'est terminée proprement."));
        }
        EXPECT_THROW(fed.connection.ReadLine(), EIdConnClosedGracefully);
        EXPECT_EQ(fed.statuses, std::vector<std::string>{std::string("Déconnecté.")});
        EXPECT_FALSE(fed.connection.IsConnected());
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, PeerClose, testing::ValuesIn(kCloses), byName);

TEST(ReadLine, ReadTimeoutWhenNothingComes) {
    Fed fed("", 0);
    fed.fake->SetStayOpen(true);
    fed.connection.ReadTimeout = 10;
    if (auto e = ExpectThrown<EIdReadTimeout>([&] { fed.connection.ReadLine(); })) {
        EXPECT_EQ(e->Message(), "Délai de lecture");
    }
}

TEST(ReadLine, AbortedSocketStillDeliversBufferedLines) {
    Fed fed("one\r\ntwo", 0);
    fed.fake->SetRecvFailure(10053);
    EXPECT_EQ(fed.connection.ReadLine(), "one");
    // The tolerated failure releases the socket; the partial line is dropped.
    EXPECT_EQ(fed.connection.ReadLine(), "");
    EXPECT_THROW(fed.connection.ReadLine(), EIdConnClosedGracefully);
}

TEST(ReadLine, ResetWithEmptyBufferIsSocketError) {
    Fed fed("", 0);
    fed.fake->SetRecvFailure(10054);
    if (auto e = ExpectThrown<EIdSocketError>([&] { fed.connection.ReadLine(); })) {
        EXPECT_EQ(e->LastError(), 10054);
    }
}

struct NonEmptyCase {
    const char* name;
    std::string input;
    std::string expected;
};
const NonEmptyCase kNonEmpty[] = {
    {"skips_empty_lines", "\r\n\r\n+OK\r\n", "+OK"},
    {"skips_blanks_and_tabs", "   \r\n\t\r\n  +OK 1  \r\n", "+OK 1"},
    {"first_line_visible", "-ERR x\r\n", "-ERR x"},
};
class ReadNonEmptyLine : public testing::TestWithParam<NonEmptyCase> {};
TEST_P(ReadNonEmptyLine, ReturnsFirstVisibleLineTrimmed) {
    for (std::size_t chunk : kChunks) {
        SCOPED_TRACE(chunk);
        Fed fed(GetParam().input, chunk);
        EXPECT_EQ(fed.connection.ReadNonEmptyLine(2147483647), GetParam().expected);
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, ReadNonEmptyLine, testing::ValuesIn(kNonEmpty), byName);

TEST(ReadNonEmptyLine, GivesUpAfterMaxAttempts) {
    Fed fed("\r\n\r\n+OK\r\n", 0);
    EXPECT_EQ(fed.connection.ReadNonEmptyLine(2), "");
    EXPECT_EQ(fed.connection.ReadLine(), "+OK");
}

struct CaptureCase {
    const char* name;
    std::string input;
    bool unstuff;
    std::vector<std::string> lines;
};
const CaptureCase kCaptures[] = {
    {"stops_at_lone_dot", "a\r\nb\r\n.\r\nafter\r\n", true, {"a", "b"}},
    {"two_dots_lose_one", "..x\r\n...\r\n.\r\n", true, {".x", ".."}},
    {"blank_then_dot_stays", " .\r\n.\r\n", true, {" ."}},
    {"single_dot_text_not_unstuffed", ".x\r\n.\r\n", true, {".x"}},
    {"no_unstuffing_when_off", "..x\r\n.\r\n", false, {"..x"}},
    {"dot_with_trailing_blank_is_a_line", ". \r\n.\r\n", true, {". "}},
    {"empty_capture", ".\r\n", true, {}},
};
class CaptureLines : public testing::TestWithParam<CaptureCase> {};
TEST_P(CaptureLines, StoresLinesUpToDelimiter) {
    for (std::size_t chunk : kChunks) {
        SCOPED_TRACE(chunk);
        Fed fed(GetParam().input, chunk);
        TStringList lines;
        int count = fed.connection.CaptureLines(lines, ".", GetParam().unstuff);
        EXPECT_EQ(lines.Lines(), GetParam().lines);
        EXPECT_EQ(count, static_cast<int>(GetParam().lines.size()));
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, CaptureLines, testing::ValuesIn(kCaptures), byName);

TEST(CaptureLines, StreamGetsCrLfAfterEveryLine) {
    Fed fed("..a\r\nb\n.\r\n", 0);
    std::ostringstream out;
    EXPECT_EQ(fed.connection.CaptureLines(out), 2);
    EXPECT_EQ(out.str(), ".a\r\nb\r\n");
}

TEST(CaptureLines, WorkEndsEvenWhenTheConnectionDrops) {
    Fed fed("a\r\n", 0);
    int begins = 0, ends = 0;
    fed.connection.OnWorkBegin = [&](TIdComponent&, TWorkMode, std::int64_t) { ++begins; };
    fed.connection.OnWorkEnd = [&](TIdComponent&, TWorkMode) { ++ends; };
    EXPECT_THROW(fed.connection.CaptureLines(nullptr), EIdConnClosedGracefully);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
}

TEST(WriteLine, QuitGoesOutInOneSend) {
    Fed fed("", 0);
    fed.connection.WriteLine("QUIT");
    EXPECT_EQ(fed.fake->Written(), "QUIT\r\n");
    EXPECT_EQ(fed.fake->SendCalls(), 1);
}

TEST(WriteLine, RepeatsOnlyForWhatTheSocketDidNotTake) {
    Fed fed("", 0);
    fed.fake->SetSendLimit(4);
    fed.connection.WriteLine("STAT x");
    EXPECT_EQ(fed.fake->Written(), "STAT x\r\n");
    EXPECT_EQ(fed.fake->SendCalls(), 2);
}

TEST(WriteLine, PeerGoneOnSendReleasesAndThrows) {
    Fed fed("", 0);
    fed.fake->FailSend(1, 10054);
    if (auto e = ExpectThrown<EIdSocketError>([&] { fed.connection.WriteLine("QUIT"); })) {
        EXPECT_EQ(e->LastError(), 10054);
    }
    EXPECT_FALSE(fed.connection.IsConnected());
}

TEST(WriteLine, NotConnectedRefuses) {
    TIdTCPConnection connection;
    EXPECT_THROW(connection.WriteLine("QUIT"), EIdNotConnected);
}

TEST(ReadBytes, WaitsForEveryByte) {
    for (std::size_t chunk : kChunks) {
        SCOPED_TRACE(chunk);
        Fed fed("0123456789", chunk);
        char out[6] = {};
        fed.connection.ReadBytes(out, 6);
        EXPECT_EQ(std::string(out, 6), "012345");
        EXPECT_EQ(fed.connection.ReadLine(), "");  // 6789 then the close
    }
}

TEST(ManagedBuffer, CompactsOnlyAfter32768ConsumedBytes) {
    TIdManagedBuffer buffer;
    std::string data(40000, 'a');
    buffer.Append(data.data(), data.size());
    buffer.Remove(32767);
    EXPECT_EQ(buffer.ConsumedPrefix(), 32767u);
    buffer.Remove(1);
    EXPECT_EQ(buffer.ConsumedPrefix(), 0u);
    EXPECT_EQ(buffer.Size(), 40000u - 32768u);
    if (auto e = ExpectThrown<EIdNotEnoughDataInBuffer>([&] { buffer.Extract(buffer.Size() + 1); })) {
        EXPECT_EQ(e->Message(), std::string("Pas suffisamment de données en mémoire tampon."));
    }
    buffer.Remove(buffer.Size());
    EXPECT_EQ(buffer.Size(), 0u);
}

TEST(ManagedBuffer, ConsumptionReportsReadWork) {
    Fed fed("abc\r\n", 0);
    std::int64_t total = -1;
    fed.connection.OnWork = [&](TIdComponent&, TWorkMode mode, std::int64_t count) {
        if (mode == wmRead) total = count;
    };
    fed.connection.BeginWork(wmRead);
    fed.connection.ReadLine();
    fed.connection.EndWork(wmRead);
    EXPECT_EQ(total, 5);
}
}  // namespace
