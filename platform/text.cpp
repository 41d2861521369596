#include "platform/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace {

// Unicode code points of bytes 0x80..0x9F in Windows-1252; the undefined
// bytes keep their own value.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePoint(unsigned char b) { return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : b; }

// Length of the well-formed UTF-8 character at `i` (its value in `cp`), or 0.
std::size_t Utf8CharAt(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    std::size_t length = 0;
    char32_t low = 0;  // smallest value of that length: shorter forms are malformed
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2, cp = b & 0x1F, low = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, cp = b & 0x0F, low = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, cp = b & 0x07, low = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < low || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 4);
    for (char c : ansi) AppendUtf8(out, CodePoint(static_cast<unsigned char>(c)));
    return out;
}

namespace {

// Calls `character(cp, bytes)` for each well-formed character of `utf8`, and
// `badRun()` once for each run of bytes that forms none.
template <typename Character, typename BadRun>
void WalkUtf8(std::string_view utf8, Character character, BadRun badRun) {
    bool inBadRun = false;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = Utf8CharAt(utf8, i, cp);
        if (length == 0) {
            if (!inBadRun) badRun();
            inBadRun = true;
            ++i;
            continue;
        }
        inBadRun = false;
        character(cp, utf8.substr(i, length));
        i += length;
    }
}

}  // namespace

std::string Utf8ToAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    WalkUtf8(
        utf8, [&out](char32_t cp, std::string_view) { out += AnsiChar(cp); }, [&out] { out += '?'; });
    return out;
}

std::string ValidUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    WalkUtf8(
        bytes, [&out](char32_t, std::string_view character) { out.append(character); },
        [&out] { out += "\xEF\xBF\xBD"; });
    return out;
}

std::string UnlabelledToUtf8(std::string_view bytes) {
    if (!HasEightBitBytes(bytes)) return std::string(bytes);
    return IsUtf8(bytes) ? std::string(bytes) : AnsiToUtf8(bytes);
}

bool FitsAnsi(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = Utf8CharAt(utf8, i, cp);
        if (length == 0 || (cp >= 0x80 && AnsiChar(cp) == '?')) return false;
        i += length;
    }
    return true;
}

std::size_t Utf8Next(std::string_view utf8, std::size_t i, char32_t& cp) {
    const std::size_t length = Utf8CharAt(utf8, i, cp);
    if (length != 0) return length;
    cp = 0xFFFD;
    return 1;
}

bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const std::size_t length = Utf8CharAt(bytes, i, cp);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool HasEightBitBytes(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

char AnsiChar(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

bool IsNonAsciiUtf8(std::string_view bytes) {
    bool nonAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        nonAscii = true;
        int extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + extra >= bytes.size()) return false;
        char32_t cp = b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr char32_t kLowest[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kLowest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return nonAscii;
}

char UpCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = UpCase(c);
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

std::string TrimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1])) --n;
    return std::string(s.substr(0, n));
}

std::size_t Pos(std::string_view sub, std::string_view s, std::size_t from) {
    if (from == 0) from = 1;
    if (sub.empty() || from > s.size()) return 0;
    std::size_t p = s.find(sub, from - 1);
    return p == std::string_view::npos ? 0 : p + 1;
}

std::size_t Pos(char c, std::string_view s, std::size_t from) {
    return Pos(std::string_view(&c, 1), s, from);
}

std::string Copy(std::string_view s, std::size_t index, std::size_t count) {
    if (index == 0) index = 1;
    if (index > s.size()) return {};
    return std::string(s.substr(index - 1, count));
}

void Delete(std::string& s, std::size_t index, std::size_t count) {
    if (index == 0 || index > s.size()) return;
    s.erase(index - 1, count);
}

std::string SplitAt(std::string& input, std::string_view delimiter) {
    std::size_t p = delimiter.empty() ? std::string::npos : input.find(delimiter);
    if (p == std::string::npos) {
        std::string all = std::move(input);
        input.clear();
        return all;
    }
    std::string head = input.substr(0, p);
    input.erase(0, p + delimiter.size());
    return head;
}

std::string PeekSplitAt(std::string_view input, std::string_view delimiter) {
    std::size_t p = delimiter.empty() ? std::string_view::npos : input.find(delimiter);
    return std::string(input.substr(0, p));
}

namespace {
template <typename T>
std::optional<T> ParseWhole(std::string_view s) {
    if (s.empty()) return std::nullopt;
    bool negative = false;
    std::size_t i = 0;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        i = 1;
    }
    if (i == s.size()) return std::nullopt;
    // Accumulate negatively so the most negative value fits.
    T value = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        T digit = s[i] - '0';
        if (value < (std::numeric_limits<T>::min() + digit) / 10) return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == std::numeric_limits<T>::min()) return std::nullopt;
        value = -value;
    }
    return value;
}
}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view s) { return ParseWhole<std::int32_t>(s); }
std::optional<std::int64_t> TryStrToInt64(std::string_view s) { return ParseWhole<std::int64_t>(s); }

std::int32_t StrToIntDef(std::string_view s, std::int32_t fallback) {
    return TryStrToInt(s).value_or(fallback);
}

std::int32_t StrToInt(std::string_view s) {
    if (auto v = TryStrToInt(s)) return *v;
    throw EConvertError("'" + std::string(s) + std::string("' n'est pas une valeur entière valide"));
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<char> HexPairValue(char high, char low) {
    const int h = HexDigitValue(high), l = HexDigitValue(low);
    if (h < 0 || l < 0) return std::nullopt;
    return static_cast<char>(h * 16 + l);
}

void AppendHexByte(std::string& out, unsigned char byte, bool lowerCase) {
    const char* digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    out += digits[byte >> 4];
    out += digits[byte & 15];
}

std::string EncodeBase64(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
        out += kBase64Alphabet[group >> 18 & 63];
        out += kBase64Alphabet[group >> 12 & 63];
        out += i + 1 < bytes.size() ? kBase64Alphabet[group >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64Alphabet[group & 63] : '=';
    }
    return out;
}
