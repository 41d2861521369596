// Header block reception, fed in pieces of several sizes.
#include "mime/message_client.h"

#include <gtest/gtest.h>

#include "message/message.h"
#include "mime/mime_errors.h"
#include "net/net_errors.h"
#include "support/expect_error.h"
#include "support/fake_transport.h"

namespace {
constexpr std::size_t kChunks[] = {1, 2, 3, 7, 0};

struct BlockCase {
    const char* name;
    std::string input;
    std::string terminator;
    std::vector<std::string> headerLines;
    std::string returned;
    std::string next;  // the line after the block
};
const BlockCase kBlocks[] = {
    {"top_ends_at_dot",
     "From: a@b.fr\r\nSubject: x\r\n.\r\nnext\r\n",
     ".",
     {"From: a@b.fr", "Subject: x"},
     ".",
     "next"},
    {"top_skips_blank_lines", "Subject: x\r\n\r\n\r\n.\r\nnext\r\n", ".", {"Subject: x"}, ".", "next"},
    {"folded_lines_stored_apart",
     "Subject: un\r\n\tdeux\r\n.\r\nnext\r\n",
     ".",
     {"Subject: un", "\tdeux"},
     ".",
     "next"},
    {"stuffed_dot_not_unstuffed",
     "X-A: 1\r\n..dots\r\n.\r\nnext\r\n",
     ".",
     {"X-A: 1", "..dots"},
     ".",
     "next"},
    {"dot_with_blank_is_a_line", "X-A: 1\r\n. \r\n.\r\nnext\r\n", ".", {"X-A: 1", ". "}, ".", "next"},
    {"retr_ends_at_blank_line", "Subject: x\r\n\r\nbody\r\n", "", {"Subject: x"}, "", "body"},
    {"retr_header_then_dot", "Subject: x\r\n.\r\nnext\r\n", "", {"Subject: x"}, ".", "next"},
    {"bare_lf_ends", "Subject: x\n.\nnext\n", ".", {"Subject: x"}, ".", "next"},
    {"high_bytes_kept", "Subject: \xE9t\xE9\r\n.\r\nnext\r\n", ".", {"Subject: \xE9t\xE9"}, ".", "next"},
};
class ReadHeaderBlock : public testing::TestWithParam<BlockCase> {};
TEST_P(ReadHeaderBlock, StoresLinesUpToTerminator) {
    for (std::size_t chunk : kChunks) {
        SCOPED_TRACE(chunk);
        TIdMessageClient client;
        InstallFakeTransport(client, GetParam().input, chunk);
        TIdMessage message;
        EXPECT_EQ(client.ReadHeaderBlock(message, GetParam().terminator), GetParam().returned);
        EXPECT_EQ(message.HeaderLines.Lines(), GetParam().headerLines);
        EXPECT_EQ(client.ReadLine(), GetParam().next);
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, ReadHeaderBlock, testing::ValuesIn(kBlocks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadHeaderBlock, ParsesTheFieldsAfterReading) {
    TIdMessageClient client;
    InstallFakeTransport(client,
                         "From: \"Jean Dupont\" <jean@example.fr>\r\n"
                         "Subject: Bonjour\r\n"
                         "\ttout le monde\r\n"
                         ".\r\n");
    TIdMessage message;
    client.ReadHeaderBlock(message, ".");
    EXPECT_EQ(message.From.Name, "Jean Dupont");
    EXPECT_EQ(message.From.Address, "jean@example.fr");
    EXPECT_EQ(message.Subject, "Bonjour tout le monde");
}

TEST(ReadHeaderBlock, LostConnectionKeepsLinesAndEndsWork) {
    TIdMessageClient client;
    InstallFakeTransport(client, "Subject: x\r\nFrom: a@b\r\n");
    int begins = 0, ends = 0;
    client.OnWorkBegin = [&](TIdComponent&, TWorkMode mode, std::int64_t) { begins += mode == wmRead; };
    client.OnWorkEnd = [&](TIdComponent&, TWorkMode mode) { ends += mode == wmRead; };
    TIdMessage message;
    EXPECT_THROW(client.ReadHeaderBlock(message, "."), EIdConnClosedGracefully);
    EXPECT_EQ(message.HeaderLines.Lines(), (std::vector<std::string>{"Subject: x", "From: a@b"}));
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
}

TEST(ReadHeaderBlock, OverlongHeaderLineIsRefused) {
    TIdMessageClient client;
    InstallFakeTransport(client, "Subject: " + std::string(20000, 'x') + "\r\n.\r\n");
    TIdMessage message;
    EXPECT_THROW(client.ReadHeaderBlock(message, "."), EIdReadLnMaxLineLengthExceeded);
}

std::string Repeated(const std::string& line, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += line;
    return out;
}

// A server that never ends its header must not fill the memory.
struct BoundCase {
    const char* name;
    std::string input;
    const char* error;  // nullptr: read whole
};
const std::string kKilobyteLine = "X-A: " + std::string(1017, 'a') + "\r\n";
const std::string kFoldLine = "\t" + std::string(1000, 'b') + "\r\n";
const BoundCase kBounds[] = {
    {"ten_thousand_lines_pass", Repeated("X-A: 1\r\n", 10000) + ".\r\n", nullptr},
    {"line_ten_thousand_and_one", Repeated("X-A: 1\r\n", 10001) + ".\r\n", mime_text::kHeaderTooLarge},
    {"blank_lines_count_too", Repeated("\r\n", 10001) + ".\r\n", mime_text::kHeaderTooLarge},
    {"one_megabyte_passes", Repeated(kKilobyteLine, 1024) + ".\r\n", nullptr},
    {"past_one_megabyte", Repeated(kKilobyteLine, 1025) + ".\r\n", mime_text::kHeaderTooLarge},
    {"folded_field_past_64_kb", "Subject: x\r\n" + Repeated(kFoldLine, 66) + ".\r\n",
     mime_text::kHeaderFieldTooLarge},
    {"many_short_fields_pass", Repeated("Subject: x\r\n" + Repeated(kFoldLine, 60), 10) + ".\r\n", nullptr},
};
class HeaderBlockBounds : public testing::TestWithParam<BoundCase> {};
TEST_P(HeaderBlockBounds, EndTheReadingWithAClearError) {
    TIdMessageClient client;
    InstallFakeTransport(client, GetParam().input);
    TIdMessage message;
    if (!GetParam().error) {
        EXPECT_EQ(client.ReadHeaderBlock(message, "."), ".");
        return;
    }
    auto e = ExpectThrown<EIdHeaderTooLarge>([&] { client.ReadHeaderBlock(message, "."); });
    if (e) {
        EXPECT_EQ(e->Message(), std::string(GetParam().error));
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, HeaderBlockBounds, testing::ValuesIn(kBounds),
                         [](const auto& info) { return std::string(info.param.name); });

// Reading past a message's faults, a line too long to read costs the
// message that field only, within the same bounds.
struct SkipCase {
    const char* name;
    std::string input;
    std::vector<std::string> headerLines;
    const char* error = nullptr;  // EIdHeaderTooLarge's text, when the block ends
};
const std::string kLong = std::string(300 * 1024, 'x');
const SkipCase kSkips[] = {
    {"long_line_dropped_with_its_folds",
     "From: a@b.fr\r\nX-Long: " + kLong + "\r\n\tsuite\r\n suite\r\nSubject: s\r\n.\r\n",
     {"From: a@b.fr", "Subject: s"}},
    {"long_line_ending_in_a_dot_is_no_terminator",
     "X-Long: " + kLong + ".\r\nSubject: s\r\n.\r\n",
     {"Subject: s"}},
    {"long_line_with_bare_lf", "X-A: 1\nSubject: " + kLong + "\n X\nX-B: 2\n.\n", {"X-A: 1", "X-B: 2"}},
    {"two_long_lines", "X-Long: " + kLong + "\r\nX-A: 1\r\nX-Long: " + kLong + "\r\n.\r\n", {"X-A: 1"}},
    {"long_line_past_one_megabyte_ends",
     "X-Long: " + std::string(1100 * 1024, 'x') + "\r\n.\r\n",
     {},
     mime_text::kHeaderTooLarge},
};
class HeaderLineSkip : public testing::TestWithParam<SkipCase> {};
TEST_P(HeaderLineSkip, KeepsTheRestOfTheBlock) {
    for (std::size_t chunk : {std::size_t{4096}, std::size_t{0}}) {
        SCOPED_TRACE(chunk);
        TIdMessageClient client;
        InstallFakeTransport(client, GetParam().input + "next\r\n", chunk);
        TIdMessage message;
        message.ReadPastHeaderFaults = true;
        if (GetParam().error) {
            auto e = ExpectThrown<EIdHeaderTooLarge>([&] { client.ReadHeaderLines(message, "."); });
            if (e) {
                EXPECT_EQ(e->Message(), std::string(GetParam().error));
            }
            continue;
        }
        EXPECT_EQ(client.ReadHeaderLines(message, "."), ".");
        EXPECT_EQ(message.HeaderLines.Lines(), GetParam().headerLines);
        EXPECT_EQ(message.HeaderFault, mime_text::kHeaderLineSkipped);
        EXPECT_EQ(client.ReadLine(), "next");
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, HeaderLineSkip, testing::ValuesIn(kSkips),
                         [](const auto& info) { return std::string(info.param.name); });
}  // namespace
