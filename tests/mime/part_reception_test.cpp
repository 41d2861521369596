// Decoded text kept as lines, and lines read from a plain byte stream.
#include <gtest/gtest.h>

#include <sstream>

#include "message/message.h"
#include "mime/message_decoder_uue.h"
#include "mime/text_lines_stream.h"

namespace {

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

const SplitCase kSplits[] = {
    {"crlf_at_end_adds_no_line", "a\r\nb\r\n", {"a", "b"}},
    {"no_line_end_at_end", "a\r\nb", {"a", "b"}},
    {"lone_lf_and_lone_cr", "a\nb\rc", {"a", "b", "c"}},
    {"lf_cr_is_two_line_ends", "a\n\rb", {"a", "", "b"}},
    {"empty_lines_kept", "\r\n\r\nx\r\n", {"", "", "x"}},
    {"zero_byte_ends_the_text", std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
    {"empty_text", "", {}},
    {"zero_byte_right_after_a_line_end", std::string("a\r\n\0b", 5), {"a"}},
    {"cr_lf_cr_lf", "\r\n\r\n", {"", ""}},
    {"eight_bit_bytes", "\xE9t\xE9\r\n\xFF", {"\xE9t\xE9", "\xFF"}},
};

class TextLines : public testing::TestWithParam<SplitCase> {};

TEST_P(TextLines, GivesTheLinesHoweverTheTextIsWritten) {
    for (std::size_t piece : {1, 2, 3, 7, 0}) {
        SCOPED_TRACE(piece);
        TStringList lines;
        TextLinesStream stream(lines);
        std::string_view rest = GetParam().text;
        while (!rest.empty()) {
            const std::size_t n = piece == 0 ? rest.size() : std::min(piece, rest.size());
            stream.write(rest.data(), static_cast<std::streamsize>(n));
            rest.remove_prefix(n);
        }
        stream.Finish();
        EXPECT_EQ(lines.Lines(), GetParam().lines);
    }
}

INSTANTIATE_TEST_SUITE_P(Text, TextLines, testing::ValuesIn(kSplits),
                         [](const auto& info) { return std::string(info.param.name); });

struct StreamLineCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;  // successive reads
};

const std::string k2047(2047, 'x');

const StreamLineCase kStreamLines[] = {
    {"crlf_lf_and_cr_line_ends", "a\r\nb\nc\rd", {"a", "b", "c", "d", ""}},
    {"empty_stream_gives_empty", "", {"", ""}},
    {"line_longer_than_a_chunk", std::string(5000, 'y') + "\r\nz", {std::string(5000, 'y'), "z", ""}},
    {"cr_ending_a_chunk_then_lf_are_two_ends", k2047 + "\r\nz", {k2047, "", "z"}},
    {"crlf_inside_one_chunk_is_one_end", std::string(2046, 'x') + "\r\nz", {std::string(2046, 'x'), "z"}},
};

class StreamReadSourceLine : public testing::TestWithParam<StreamLineCase> {};

TEST_P(StreamReadSourceLine, EndsLinesWithinOneChunk) {
    TIdMessage message;
    TIdMessageDecoderUUE decoder(message);
    decoder.SourceStream = std::make_unique<std::istringstream>(GetParam().bytes);
    for (const std::string& line : GetParam().lines) EXPECT_EQ(decoder.ReadSourceLine(), line);
}

INSTANTIATE_TEST_SUITE_P(Source, StreamReadSourceLine, testing::ValuesIn(kStreamLines),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
