#include "tools/json_object.h"

#include <gtest/gtest.h>

#include "json_reader.h"

namespace {

struct StringCase {
    const char* name;
    std::string in;  // UTF-8
    std::string json;
};
const StringCase kStrings[] = {
    {"plain", "Promo", "\"Promo\""},
    {"quote_and_backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
    {"short_escapes", "\t\n\r", "\"\\t\\n\\r\""},
    {"other_controls_as_u00xx", std::string("\0\x1B\x7F", 3), "\"\\u0000\\u001b\\u007f\""},
    {"c1_control_escaped", "\xC2\x9B", "\"\\u009b\""},
    {"line_separators_escaped", "\xE2\x80\xA8\xE2\x80\xA9", "\"\\u2028\\u2029\""},
    {"accents_and_euro_as_they_are", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
     "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""},
    {"not_utf8_replaced", "a\xE9z\xC3", "\"a\\ufffdz\\ufffd\""},
};
class Json : public testing::TestWithParam<StringCase> {};
TEST_P(Json, EscapesAndReadsBack) {
    const std::string json = JsonString(GetParam().in);
    EXPECT_EQ(json, GetParam().json);
    const std::string back = JsonReader::Parse(json).text;
    if (IsUtf8(GetParam().in)) {
        EXPECT_EQ(back, GetParam().in);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, Json, testing::ValuesIn(kStrings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Json, ObjectKeepsFieldOrder) {
    EXPECT_EQ(JsonObject().Number("n", -3).Null("d").Texts("l", {"a", "\""}).Text("s", "x").Json(),
              "{\"n\":-3,\"d\":null,\"l\":[\"a\",\"\\\"\"],\"s\":\"x\"}");
    EXPECT_EQ(JsonObject().Json(), "{}");
}

}  // namespace
