#include "message/header_parameter.h"

#include <map>
#include <vector>

#include "platform/charset.h"
#include "platform/text.h"

namespace {

struct Piece {
    bool encoded = false;
    std::string value;
};

// "a; b=\"x;y\"; c" cut at the semicolons that stand outside double quotes.
std::vector<std::string_view> Segments(std::string_view value) {
    std::vector<std::string_view> segments;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '"') quoted = !quoted;
        if (value[i] == '\\' && quoted) ++i;
        if (i < value.size() && value[i] == ';' && !quoted) {
            segments.push_back(value.substr(start, i - start));
            start = i + 1;
        }
    }
    segments.push_back(value.substr(std::min(start, value.size())));
    return segments;
}

std::string Unquoted(std::string_view value) {
    if (value.empty() || value.front() != '"') return std::string(value);
    std::string out;
    for (std::size_t i = 1; i < value.size() && value[i] != '"'; ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) ++i;
        out += value[i];
    }
    return out;
}

std::string PercentDecoded(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
            const int high = HexDigitValue(value[i + 1]), low = HexDigitValue(value[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

// Piece number of attribute `attribute` ("NAME*", "NAME*3", "NAME*3*") of
// parameter `name` (upper case): -1 for the single extended form, or nothing.
std::optional<int> PieceNumber(std::string_view attribute, std::string_view name, bool& encoded) {
    if (!attribute.starts_with(name) || attribute.size() <= name.size() || attribute[name.size()] != '*')
        return std::nullopt;
    std::string_view rest = attribute.substr(name.size() + 1);
    encoded = rest.empty() || rest.back() == '*';
    if (rest.empty()) return -1;
    if (encoded) rest.remove_suffix(1);
    const auto number = TryStrToInt(rest);
    if (!number || *number < 0 || rest.front() == '+' || rest.front() == '-') return std::nullopt;
    return *number;
}

std::string ToUtf8(std::string_view charsetName, const std::string& bytes) {
    return Charset::ForText(charsetName).ToUtf8(bytes);
}

}  // namespace

std::optional<std::string> ExtendedParameter(std::string_view headerValue, std::string_view name) {
    const std::string upperName = UpperCase(name);
    std::map<int, Piece> pieces;
    for (std::string_view segment : Segments(headerValue)) {
        const std::string text = Trim(segment);
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos) continue;
        bool encoded = false;
        const auto number = PieceNumber(UpperCase(Trim(text.substr(0, equals))), upperName, encoded);
        if (!number) continue;
        // The first of two pieces with one number wins.
        pieces.emplace(*number, Piece{encoded, Unquoted(Trim(std::string_view(text).substr(equals + 1)))});
    }
    if (pieces.empty()) return std::nullopt;
    // The single form stands alone; otherwise the pieces from 0 on.
    if (pieces.begin()->first == -1) pieces = {{0, pieces.begin()->second}};
    if (pieces.begin()->first != 0) return std::nullopt;
    std::string charset, bytes;
    int expected = 0;
    for (auto& [number, piece] : pieces) {
        if (number != expected++) break;
        std::string_view value = piece.value;
        if (number == 0 && piece.encoded) {
            // charset'language'text; a value without the two quotes is all text.
            const std::size_t q1 = value.find('\'');
            const std::size_t q2 = q1 == std::string_view::npos ? q1 : value.find('\'', q1 + 1);
            if (q2 != std::string_view::npos) {
                charset = value.substr(0, q1);
                value.remove_prefix(q2 + 1);
            }
        }
        bytes += piece.encoded ? PercentDecoded(value) : std::string(value);
    }
    return ToUtf8(charset, bytes);
}
