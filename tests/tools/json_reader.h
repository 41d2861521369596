#pragma once
// A small strict JSON reader for the tests: what the command line writes is
// read back by a parser of its own, not compared as text.
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

struct JsonValue {
    enum class Type { Null, Number, String, Array, Object } type = Type::Null;
    std::int64_t number = 0;
    std::string text;  // UTF-8
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> fields;
    const JsonValue& operator[](const std::string& key) const { return fields.at(key); }
};

class JsonReader {
public:
    // Throws std::runtime_error on anything but one value and blanks.
    static JsonValue Parse(std::string_view text) {
        JsonReader r(text);
        JsonValue v = r.Value();
        r.Blanks();
        if (r.at_ != text.size()) throw std::runtime_error("text after the value");
        return v;
    }

private:
    explicit JsonReader(std::string_view text) : s_(text) {}
    void Blanks() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\t' || s_[at_] == '\r'))
            ++at_;
    }
    char Next() {
        if (at_ >= s_.size()) throw std::runtime_error("end of text");
        return s_[at_++];
    }
    void Expect(char c) {
        if (Next() != c) throw std::runtime_error(std::string("expected ") + c);
    }
    JsonValue Value() {
        Blanks();
        JsonValue v;
        if (at_ >= s_.size()) throw std::runtime_error("no value");
        const char c = s_[at_];
        if (c == '{') {
            v.type = JsonValue::Type::Object;
            ++at_;
            Blanks();
            if (s_[at_] == '}') return ++at_, v;
            for (;;) {
                Blanks();
                std::string key = String();
                Blanks();
                Expect(':');
                v.fields[key] = Value();
                Blanks();
                if (Next() == '}') return v;
                --at_;
                Expect(',');
            }
        }
        if (c == '[') {
            v.type = JsonValue::Type::Array;
            ++at_;
            Blanks();
            if (s_[at_] == ']') return ++at_, v;
            for (;;) {
                v.items.push_back(Value());
                Blanks();
                if (Next() == ']') return v;
                --at_;
                Expect(',');
            }
        }
        if (c == '"') {
            v.type = JsonValue::Type::String;
            v.text = String();
            return v;
        }
        if (s_.substr(at_, 4) == "null") return at_ += 4, v;
        v.type = JsonValue::Type::Number;
        std::size_t end = at_ + (c == '-' ? 1 : 0);
        while (end < s_.size() && s_[end] >= '0' && s_[end] <= '9') ++end;
        auto n = TryStrToInt64(s_.substr(at_, end - at_));
        if (!n) throw std::runtime_error("bad number");
        v.number = *n;
        at_ = end;
        return v;
    }
    std::string String() {
        Expect('"');
        std::string out;
        for (;;) {
            const auto c = static_cast<unsigned char>(Next());
            if (c == '"') return out;
            if (c < 0x20) throw std::runtime_error("raw control character in a string");
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            const char e = Next();
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    char32_t code = 0;
                    for (int k = 0; k < 4; ++k) {
                        const int d = HexDigitValue(Next());
                        if (d < 0) throw std::runtime_error("bad \\u escape");
                        code = code * 16 + static_cast<char32_t>(d);
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    throw std::runtime_error("bad escape");
            }
        }
    }
    std::string_view s_;
    std::size_t at_ = 0;
};
