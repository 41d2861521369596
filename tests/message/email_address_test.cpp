#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message/email_address_list.h"
#include "platform/string_list.h"
#include "platform/text.h"
#include "support/exact_buffer.h"
#include "support/expect_error.h"

namespace {

auto ByName = [](const auto& info) { return std::string(info.param.name); };

// Parses from a buffer of exactly the input's length (over-read trap).
void ParseExact(TIdEMailAddressItem& item, const std::string& input) {
    item.SetText(ExactBuffer(input).View());
}

struct ParseCase {
    const char* name;
    std::string input;
    std::string expectedName, expectedAddress, textReadBack;
};
const ParseCase kCommonForms[] = {
    {"bare_address", "local@domain", "", "local@domain", "local@domain"},
    {"name_and_angle_address", "Jean Dupont <local@domain>", "Jean Dupont", "local@domain",
     "Jean Dupont <local@domain>"},
    {"name_glued_to_angle", "Jean Dupont<local@domain>", "Jean Dupont", "local@domain",
     "Jean Dupont <local@domain>"},
    {"quoted_name_with_comma", "\"Dupont, Jean\" <local@domain>", "Dupont, Jean", "local@domain",
     "\"Dupont, Jean\" <local@domain>"},
    {"comment_after_address_dropped", "local@domain (Jean Dupont)", "", "local@domain", "local@domain"},
    {"comment_before_address_dropped", "(Jean) local@domain", "", "local@domain", "local@domain"},
    {"angle_address_alone", "<local@domain>", "", "local@domain", "local@domain"},
    {"blank_after_closing_quote_lost", "Jean \"Le Grand\" Dupont <local@domain>", "Jean Le GrandDupont",
     "local@domain", "Jean Le GrandDupont <local@domain>"},
    {"name_with_period_written_quoted", "Jean Q. Dupont <local@domain>", "Jean Q. Dupont", "local@domain",
     "\"Jean Q. Dupont\" <local@domain>"},
    {"bare_name_loses_last_word", "Jean Dupont", "Jean ", "", "Jean  <>"},
    {"bare_three_words_lose_last", "Jean Marc Dupont", "Jean Marc ", "", "Jean Marc  <>"},
    {"one_word_is_an_address", "Dupont", "", "Dupont", ""},
    {"escaped_quote_in_quoted_name", "\"a\\\"b\" <local@domain>", "a\"b", "local@domain",
     "\"a\\\"b\" <local@domain>"},
    {"blanks_inside_angle_address", "Jean <local @ domain . part>", "Jean", "local @domain.part",
     "Jean <\"local \"@domain.part>"},
};
const ParseCase kTolerated[] = {
    {"empty_text", "", "", "", ""},
    {"blanks_only", " \t ", "", "", ""},
    {"surrounding_blanks_trimmed", "  local@domain \r\n", "", "local@domain", "local@domain"},
    {"period_in_bare_local_part", "jean.dupont@mail.example.fr", "", "jean.dupont@mail.example.fr",
     "jean.dupont@mail.example.fr"},
    {"tab_between_name_and_address", "Jean\t<a@b>", "Jean", "a@b", "Jean <a@b>"},
    {"name_of_accented_letters_quoted", "H\xE9l\xE8ne <a@b>", "H\xE9l\xE8ne", "a@b",
     "\"H\xE9l\xE8ne\" <a@b>"},
    {"byte_ff_in_name", "\xFF <a@b>", "\xFF", "a@b", "\"\xFF\" <a@b>"},
    {"unclosed_angle_keeps_address", "Jean <a@b", "Jean", "a@", "Jean <a@>"},
    {"unclosed_quote_drops_rest", "\"Jean <a@b>", "", "", ""},
    // The comment never closes: its text is what remains of the bare address.
    {"unclosed_comment_joins_bare_address", "a@b (Jean", "", "a@bJean", "a@bJean"},
    {"nested_comment", "(a (b) c) x@y", "", "x@y", "x@y"},
    {"backslash_ending_quoted_text", "\"ab\\", "ab", "", "ab <>"},
    {"glued_quote_keeps_text_before", "Jean\"Le Grand\" <a@b>", "JeanLe Grand", "a@b", "JeanLe Grand <a@b>"},
    {"quoted_local_part", "<\"jean dupont\"@domain>", "", "jean dupont@domain", "<\"jean dupont\"@domain>"},
    {"address_before_angle_joins_it", "A@B <a@b>", "", "A@B<a@b>", "<\"A@B<a\"@b>>"},
    {"backslash_in_name_escaped_on_write", "\"a\\\\b\" <x@y>", "a\\b", "x@y", "\"a\\\\b\" <x@y>"},
};
class AddressParse : public testing::TestWithParam<ParseCase> {};
TEST_P(AddressParse, GivesNameAddressAndText) {
    TIdEMailAddressItem item;
    item.Name = "old";
    item.Address = "old@old";
    ParseExact(item, GetParam().input);
    EXPECT_EQ(item.Name, GetParam().expectedName);
    EXPECT_EQ(item.Address, GetParam().expectedAddress);
    EXPECT_EQ(item.Text(), GetParam().textReadBack);
}
INSTANTIATE_TEST_SUITE_P(CommonForms, AddressParse, testing::ValuesIn(kCommonForms), ByName);
INSTANTIATE_TEST_SUITE_P(Tolerated, AddressParse, testing::ValuesIn(kTolerated), ByName);

struct ErrorCase {
    const char* name;
    std::string input;
    std::string nameSoFar, addressSoFar;
};
const ErrorCase kErrors[] = {
    {"second_bare_address_after_angle", "<local@domain> other@domain", "", "local@domain"},
    {"at_after_angle_with_name", "Jean <a@b> c@d", "Jean", "a@b"},
    {"bare_at_after_angle", "<a@b>@", "", "a@b"},
};
class AddressError : public testing::TestWithParam<ErrorCase> {};
TEST_P(AddressError, RaisesOutsideAtKeepingWhatWasParsed) {
    TIdEMailAddressItem item;
    const auto e = ExpectThrown<EIdEmailParseError>([&] { ParseExact(item, GetParam().input); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), std::string("Adresse extérieure @"));
    EXPECT_EQ(item.Name, GetParam().nameSoFar);
    EXPECT_EQ(item.Address, GetParam().addressSoFar);
}
INSTANTIATE_TEST_SUITE_P(Table, AddressError, testing::ValuesIn(kErrors), ByName);

struct FormCase {
    const char* name;
    std::string itemName, address;
    std::string addressForm, text;
};
const FormCase kForms[] = {
    {"nothing", "", "", "", ""},
    {"name_without_address", "Jean", "", "<>", "Jean <>"},
    {"address_without_at_is_empty", "", "local", "", ""},
    {"address_without_at_with_name", "Jean", "local", "<>", "Jean <>"},
    {"local_part_starting_with_period_not_quoted", "", ".a b@c", ".a b@c", ".a b@c"},
    {"escaped_characters_in_local_part", "", "a\"b\\c@d", "<\"a\\\"b\\\\c\"@d>", "<\"a\\\"b\\\\c\"@d>"},
    {"last_at_splits_local_and_domain", "", "a@b@c", "<\"a@b\"@c>", "<\"a@b\"@c>"},
    {"name_of_atoms_and_blanks_bare", "Jean-Paul O'Neil", "a@b", "<a@b>", "Jean-Paul O'Neil <a@b>"},
    {"comma_in_name_quoted", "Smith, J", "a@b", "<a@b>", "\"Smith, J\" <a@b>"},
    {"name_equal_to_upper_cased_address_omitted", "A@B", "a@b", "<a@b>", "<a@b>"},
    {"name_equal_to_address_in_small_letters_kept", "a@b", "a@b", "<a@b>", "\"a@b\" <a@b>"},
};
class AddressFormat : public testing::TestWithParam<FormCase> {};
TEST_P(AddressFormat, WritesHeaderText) {
    TIdEMailAddressItem item;
    item.Name = GetParam().itemName;
    item.Address = GetParam().address;
    EXPECT_EQ(item.AddressForm(), GetParam().addressForm);
    EXPECT_EQ(item.Text(), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Table, AddressFormat, testing::ValuesIn(kForms), ByName);

struct Entry {
    std::string name, address;
    bool operator==(const Entry&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Entry& e) {
    return os << '[' << e.name << "|" << e.address << ']';
}

struct ListCase {
    const char* name;
    std::string input;
    std::vector<Entry> expected;
};
const ListCase kLists[] = {
    {"quoted_comma_stays_in_name",
     "one@domain, \"Smith, J\" <two@domain>, Bob <three@domain>",
     {{"", "one@domain"}, {"Smith, J", "two@domain"}, {"Bob", "three@domain"}}},
    {"group_name_dropped", "Group: one@domain, two@domain;", {{"", "one@domain"}, {"", "two@domain"}}},
    {"empty_group_gives_nothing", "undisclosed-recipients:;", {}},
    {"empty_entry_dropped", "one@domain,,two@domain", {{"", "one@domain"}, {"", "two@domain"}}},
    {"bare_name_entry_kept", "John Smith, one@domain", {{"John ", ""}, {"", "one@domain"}}},
    {"single_address_without_separator", "one@domain", {{"", "one@domain"}}},
    {"blank_text_gives_nothing", " \t ", {}},
    {"comma_inside_comment_kept", "a@b (x, y), c@d", {{"", "a@b"}, {"", "c@d"}}},
    {"escaped_quote_inside_quotes", "\"a\\\", b\" <x@y>, z@w", {{"a\", b", "x@y"}, {"", "z@w"}}},
    {"trailing_comma", "a@b, ", {{"", "a@b"}}},
    {"angle_pair_alone_dropped", "<>, a@b", {{"", "a@b"}}},
    {"unclosed_quote_takes_rest", "\"a, b@c", {}},
    {"word_without_at_dropped", "Dupont, a@b", {{"", "a@b"}}},
};
class AddressListAssign : public testing::TestWithParam<ListCase> {};
TEST_P(AddressListAssign, SplitsIntoItems) {
    TIdEMailAddressList list;
    list.Add().Address = "stale@entry";
    list.AssignText(GetParam().input);
    std::vector<Entry> got;
    for (int i = 0; i < list.Count(); ++i) got.push_back({list[i].Name, list[i].Address});
    EXPECT_EQ(got, GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, AddressListAssign, testing::ValuesIn(kLists), ByName);

TEST(AddressListAssign, ErrorKeepsEarlierItemsAndTheFailingOne) {
    TIdEMailAddressList list;
    EXPECT_THROW(list.AssignText("a@b, <c@d> e@f, g@h"), EIdEmailParseError);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Address, "a@b");
    EXPECT_EQ(list[1].Address, "c@d");
}

TEST(AddressList, AsTextJoinsWithCommaSpace) {
    TIdEMailAddressList list;
    EXPECT_EQ(list.AsText(), "");
    TIdEMailAddressItem& first = list.Add();
    first.Name = "Jean Dupont";
    first.Address = "local@domain";
    list.Add().Address = "other@domain";
    EXPECT_EQ(list.AsText(), "Jean Dupont <local@domain>, other@domain");
    list.Delete(0);
    EXPECT_EQ(list.AsText(), "other@domain");
    EXPECT_THROW(list[1], EListError);
}

TEST(AddressItem, AssignCopiesNameAndAddress) {
    TIdEMailAddressItem a, b;
    a.SetText("Jean <j@d>");
    b.Assign(a);
    EXPECT_EQ(b.Text(), "Jean <j@d>");
}

}  // namespace
