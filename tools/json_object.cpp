#include "tools/json_object.h"

#include <charconv>

#include "platform/control_characters.h"
#include "platform/text.h"

namespace {

void AppendEscape(std::string& out, char32_t c) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
}

// The code point of a well-formed sequence at `i` and its length; 0 for
// bytes that are not one.
std::size_t Decode(std::string_view s, std::size_t i, char32_t& c) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length > s.size() || !IsUtf8(s.substr(i, length))) return 0;
    c = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return length;
}

}  // namespace

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            ++i;
            switch (byte) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    if (byte < 0x20 || byte == 0x7F)
                        AppendEscape(out, byte);
                    else
                        out += static_cast<char>(byte);
            }
            continue;
        }
        char32_t c = 0;
        const std::size_t length = Decode(utf8, i, c);
        if (length == 0) {
            AppendEscape(out, 0xFFFD);
            ++i;
        } else if (c <= 0x9F || c == 0x2028 || c == 0x2029 || ReordersText(c) || IsZeroWidth(c)) {
            AppendEscape(out, c);
            i += length;
        } else {
            out.append(utf8.substr(i, length));
            i += length;
        }
    }
    return out + "\"";
}

JsonObject& JsonObject::Key(std::string_view key) {
    body_ += body_.empty() ? "{" : ",";
    body_ += JsonString(key) + ":";
    return *this;
}

JsonObject& JsonObject::Text(std::string_view key, std::string_view utf8) {
    Key(key).body_ += JsonString(utf8);
    return *this;
}

JsonObject& JsonObject::Number(std::string_view key, std::int64_t value) {
    Key(key).body_ += IntToStr(value);
    return *this;
}

JsonObject& JsonObject::Real(std::string_view key, double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    Key(key).body_ += std::string_view(text, static_cast<std::size_t>(end - text));
    return *this;
}

JsonObject& JsonObject::Null(std::string_view key) {
    Key(key).body_ += "null";
    return *this;
}

JsonObject& JsonObject::Texts(std::string_view key, const std::vector<std::string>& utf8) {
    Key(key).body_ += "[";
    for (std::size_t i = 0; i < utf8.size(); ++i) body_ += (i ? "," : "") + JsonString(utf8[i]);
    body_ += "]";
    return *this;
}
