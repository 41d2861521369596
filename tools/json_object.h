#pragma once
// A small JSON writer for the command line's output: strings escaped so the
// output is plain UTF-8 JSON whatever a sender put in a header.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// `utf8` as a JSON string, quotes included: '"' and '\' escaped, control
// characters (C0, DEL, C1) as \n, \t ... or \u00XX, U+2028 and U+2029 as
// \u2028 and \u2029 (line ends to some readers); bytes that are not UTF-8
// become U+FFFD.
std::string JsonString(std::string_view utf8);

// One object, written field by field in the order given: {"a":1,"b":"x"}.
class JsonObject {
public:
    JsonObject& Text(std::string_view key, std::string_view utf8);
    JsonObject& Number(std::string_view key, std::int64_t value);
    JsonObject& Null(std::string_view key);
    // The shortest decimal that reads back as `value` (a finite number).
    JsonObject& Real(std::string_view key, double value);
    JsonObject& Texts(std::string_view key, const std::vector<std::string>& utf8);
    std::string Json() const { return body_.empty() ? "{}" : body_ + "}"; }

private:
    JsonObject& Key(std::string_view key);
    std::string body_;
};
