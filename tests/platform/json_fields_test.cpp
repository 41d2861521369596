// The members of a token endpoint's JSON answer, and what is not one.
#include "platform/json_fields.h"

#include <gtest/gtest.h>

namespace {

using Fields = std::map<std::string, std::string>;

struct JsonCase {
    const char* name;
    std::string text;
    std::optional<Fields> fields;  // nothing: refused
};

const JsonCase kCases[] = {
    {"token_answer",
     " {\"access_token\":\"ya29.a0\",\"expires_in\":3599,\"token_type\":\"Bearer\",\"ok\":true,\"x\":null}"
     "\r\n",
     Fields{{"access_token", "ya29.a0"},
            {"expires_in", "3599"},
            {"token_type", "Bearer"},
            {"ok", "true"},
            {"x", "null"}}},
    {"escapes_and_pairs", R"({"d":"\"a\\b\/c\n\u00e9\ud83d\ude00"})",
     Fields{{"d", "\"a\\b/c\n\xC3\xA9\xF0\x9F\x98\x80"}}},
    {"lone_surrogate_is_replaced", R"({"d":"\ud800x"})",
     Fields{{"d",
             "\xEF\xBF\xBD"
             "x"}}},
    {"nested_values_keep_their_text", R"({"a":{"b":[1,{"c":"}"}]},"e":-1.5e+3,"f":[ ]})",
     Fields{{"a", R"({"b":[1,{"c":"}"}]})"}, {"e", "-1.5e+3"}, {"f", "[ ]"}}},
    {"empty_object", "{}", Fields{}},
    {"repeated_name_keeps_the_last", R"({"a":"1","a":"2"})", Fields{{"a", "2"}}},
    {"not_an_object", R"(["a"])", std::nullopt},
    {"text_after_the_object", R"({"a":1} x)", std::nullopt},
    {"unterminated_string", R"({"a":"b)", std::nullopt},
    {"raw_line_break_in_string", "{\"a\":\"b\nc\"}", std::nullopt},
    {"missing_colon", R"({"a" 1})", std::nullopt},
    {"trailing_comma", R"({"a":1,})", std::nullopt},
    {"bad_escape", R"({"a":"\q"})", std::nullopt},
    {"bare_word", R"({"a":yes})", std::nullopt},
    {"too_deep", "{\"a\":" + std::string(40, '[') + std::string(40, ']') + "}", std::nullopt},
    {"an_html_error_page", "<html>502</html>", std::nullopt},
};

class JsonFieldsTable : public testing::TestWithParam<JsonCase> {};

TEST_P(JsonFieldsTable, ReadsTheTopLevelMembersOrRefuses) {
    const JsonCase& c = GetParam();
    EXPECT_EQ(JsonObjectFields(c.text), c.fields);
}

INSTANTIATE_TEST_SUITE_P(Table, JsonFieldsTable, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
