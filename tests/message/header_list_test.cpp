#include "message/header_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"

namespace {

using Lines = std::vector<std::string>;

TIdHeaderList ListOf(const Lines& lines) {
    TIdHeaderList list;
    for (const std::string& line : lines) list.Add(line);
    return list;
}

auto ByName = [](const auto& info) { return std::string(info.param.name); };

struct ValueCase {
    const char* name;
    Lines lines;
    std::string header;
    std::string expected;
};
const ValueCase kValues[] = {
    {"name_lower_case", {"Date: today", "Subject: Hello"}, "subject", "Hello"},
    {"name_upper_case", {"Date: today", "Subject: Hello"}, "SUBJECT", "Hello"},
    {"name_mixed_case", {"Date: today", "Subject: Hello"}, "Subject", "Hello"},
    {"no_space_after_colon", {"Subject:Hello"}, "Subject", "Hello"},
    {"blanks_around_value_trimmed", {"Subject:   Hello   "}, "Subject", "Hello"},
    {"space_before_colon_not_found", {"Subject : Hello"}, "Subject", ""},
    {"space_before_colon_is_part_of_name", {"Subject : Hello"}, "Subject ", "Hello"},
    {"first_of_two_wins", {"Received: one", "Received: two"}, "Received", "one"},
    {"continuations_joined_with_one_space",
     {"Subject: part one", "\tpart two", " part three"},
     "Subject",
     "part one part two part three"},
    {"continuation_stops_at_next_header", {"To: a@b,", "  c@d", "Subject: x", " tail"}, "To", "a@b, c@d"},
    {"empty_line_is_not_a_continuation", {"Subject: a", "", " b"}, "Subject", "a"},
    {"absent_header_is_empty", {"Date: today"}, "Subject", ""},
    {"empty_value_reads_as_absent", {"Subject:"}, "Subject", ""},
    {"colon_inside_value_kept",
     {"Date: Fri, 07 Sep 2001 10:05:30 +0200"},
     "date",
     "Fri, 07 Sep 2001 10:05:30 +0200"},
    {"continuation_line_can_match_by_name", {"X: a", " Y: b"}, " y", "b"},
    {"accented_name_matches_any_case", {"Obj\xE9t: x"}, "OBJ\xC9T", "x"},
    {"control_characters_trimmed", {"Subject: \x01 Hi \x7F\r"}, "Subject", "Hi \x7F"},
    {"high_bytes_kept", {"Subject: Caf\xE9 \xFF"}, "Subject", "Caf\xE9 \xFF"},
};
class HeaderValue : public testing::TestWithParam<ValueCase> {};
TEST_P(HeaderValue, FirstMatchUnfoldedAndTrimmed) {
    const TIdHeaderList list = ListOf(GetParam().lines);
    EXPECT_EQ(list.ValueOf(GetParam().header), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, HeaderValue, testing::ValuesIn(kValues), ByName);

TEST(HeaderValue, NoUnfoldingWhenSwitchedOff) {
    TIdHeaderList list = ListOf({"Subject: a", " b"});
    list.UnfoldOnRead = false;
    EXPECT_EQ(list.ValueOf("Subject"), "a");
}

TEST(HeaderValue, OutsideTheListIsEmpty) {
    const TIdHeaderList list = ListOf({"Subject: a"});
    EXPECT_EQ(list.ValueAtLine(-1), "");
    EXPECT_EQ(list.ValueAtLine(1), "");
    EXPECT_EQ(list.NameAtLine(5), "");
}

struct NameCase {
    const char* name;
    std::string line;
    bool caseSensitive;
    std::string expected;
};
const NameCase kNames[] = {
    {"upper_cased_by_default", "Subject: x", false, "SUBJECT"},
    {"kept_when_case_sensitive", "Subject: x", true, "Subject"},
    {"trailing_space_before_colon_kept", "Subject : x", false, "SUBJECT "},
    {"no_colon_no_name", "just text", false, ""},
    {"only_ascii_letters_upper_cased", "ent\xEAte: x", false, "ENT\xEATE"},
    {"first_colon_ends_name", "a:b:c", false, "A"},
};
class HeaderName : public testing::TestWithParam<NameCase> {};
TEST_P(HeaderName, PartBeforeFirstColon) {
    TIdHeaderList list = ListOf({GetParam().line});
    list.CaseSensitiveNames = GetParam().caseSensitive;
    EXPECT_EQ(list.NameAtLine(0), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, HeaderName, testing::ValuesIn(kNames), ByName);

TEST(HeaderName, SeparatorWithLettersStillMatchesIgnoringCase) {
    TIdHeaderList list = ListOf({"namexvalue", "otherXv"});
    list.Separator = "X ";
    EXPECT_EQ(list.NameAtLine(0), "NAME");
    EXPECT_EQ(list.IndexOfHeader("other"), 1);
    EXPECT_EQ(list.ValueOf("name"), "value");
}

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

struct SetCase {
    const char* name;
    Lines before;
    std::string header, value;
    Lines after;
};
const SetCase kSets[] = {
    {"empty_value_absent_header_changes_nothing", {"Date: x"}, "Subject", "", {"Date: x"}},
    {"empty_value_removes_first_with_continuations",
     {"Subject: a", " b", "\tc", "Date: x", "Subject: d"},
     "subject",
     "",
     {"Date: x", "Subject: d"}},
    {"absent_header_appended", {"Date: x"}, "Subject", "Hi", {"Date: x", "Subject: Hi"}},
    {"replaces_first_only_and_its_continuations",
     {"Subject: a", " b", "Date: x", "Subject: c"},
     "SUBJECT",
     "new",
     {"SUBJECT: new", "Date: x", "Subject: c"}},
    {"line_of_79_stays_one_line", {}, "X", Repeat('a', 76), {"X: " + Repeat('a', 76)}},
    {"line_of_80_cut_after_only_space",
     {},
     "X",
     Repeat('a', 36) + " " + Repeat('b', 40),
     {"X: " + Repeat('a', 36), " " + Repeat('b', 40)}},
    // The blank after the colon is the only break character.
    {"long_word_cut_after_the_colon", {}, "X", Repeat('a', 120), {"X:", " " + Repeat('a', 120)}},
    {"quoted_stretch_never_cut",
     {},
     "X",
     "\"" + Repeat('a', 40) + " " + Repeat('b', 40) + "\"",
     {"X: \"" + Repeat('a', 40) + " " + Repeat('b', 40) + "\""}},
    {"existing_break_cut_without_second_break_text", {}, "X", "one\r\n two", {"X: one", " two"}},
    {"existing_break_case_of_text_irrelevant", {}, "X", "a,\r\n b", {"X: a,", " b"}},
    // Cut right after the TAB of a CR LF TAB: the piece of the TAB alone is dropped.
    {"cut_after_existing_tab_break_leaves_no_empty_line",
     {},
     "X",
     Repeat('a', 70) + "\r\n\t" + Repeat('b', 10) + " " + Repeat('c', 70),
     {"X: " + Repeat('a', 70), " " + Repeat('b', 10), " " + Repeat('c', 70)}},
};
class SetValue : public testing::TestWithParam<SetCase> {};
TEST_P(SetValue, ReplacesFoldsOrDeletes) {
    TIdHeaderList list = ListOf(GetParam().before);
    list.SetValueOf(GetParam().header, GetParam().value);
    EXPECT_EQ(list.Lines(), GetParam().after);
}
INSTANTIATE_TEST_SUITE_P(Table, SetValue, testing::ValuesIn(kSets), ByName);

TEST(SetValue, LongAddressListFoldsAndReadsBack) {
    std::string value;
    for (int i = 0; value.size() < 100; ++i)
        value += (i ? ", " : "") + std::string("user") + IntToStr(i) + "@host.fr";
    TIdHeaderList list;
    list.SetValueOf("To", value);
    ASSERT_GE(list.Count(), 2);
    EXPECT_LE(list[0].size(), 78u);
    const char last = list[0].back();
    EXPECT_TRUE(last == ',' || last == ' ') << list[0];
    for (int i = 1; i < list.Count(); ++i) EXPECT_EQ(list[i][0], ' ') << list[i];
    EXPECT_EQ(list.ValueOf("to"), value);
}

TEST(SetValue, WithoutFoldingWritesOneLineAndKeepsContinuations) {
    TIdHeaderList list = ListOf({"Subject: a", " b"});
    list.FoldOnWrite = false;
    list.Separator = ":";
    list.SetValueOf("Subject", Repeat('x', 10) + " " + Repeat('y', 100));
    EXPECT_EQ(list.Lines(), (Lines{"Subject:" + Repeat('x', 10) + " " + Repeat('y', 100), " b"}));
}

struct WrapCase {
    const char* name;
    std::string line;
    int width;
    std::string expected;
};
const WrapCase kWraps[] = {
    {"short_line_unchanged", "a b c", 3, "a b c"},
    {"cut_after_last_break_before_width", "aa bb cc dd", 6, "aa bb \r\n cc dd"},
    {"blanks_after_cut_stay_in_next_piece", "aa,  bbbbbb", 4, "aa, \r\n  bbbbbb"},
    {"comma_is_a_break_character", "aaaa,bbbb", 5, "aaaa,\r\n bbbb"},
    {"no_break_text_when_one_character_remains", "aaa bb", 5, "aaa bb"},
    {"quoted_stretch_moves_whole", "a \"b c\" d e", 4, "a \r\n \"b c\" \r\n d e"},
    {"unclosed_quote_never_cuts", "a \"b c d e f g", 3, "a \"b c d e f g"},
};
class Wrap : public testing::TestWithParam<WrapCase> {};
TEST_P(Wrap, CutsAtBreakCharacters) {
    EXPECT_EQ(WrapAtBreakChars(GetParam().line, "\r\n ", " \t,", GetParam().width), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, Wrap, testing::ValuesIn(kWraps), ByName);

}  // namespace
