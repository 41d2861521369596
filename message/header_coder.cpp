#include "message/header_coder.h"

#include <algorithm>

#include "platform/text.h"

namespace {

// Quoted-printable style: "_" is a blank, "=xy" a byte in hexadecimal; an
// equals sign with fewer than two characters after it stands for itself.
std::string DecodeQ(std::string_view encoded) {
    std::string out;
    out.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '_') {
            out += ' ';
        } else if (c == '=' && i + 2 < encoded.size()) {
            const int high = HexDigitValue(encoded[i + 1]), low = HexDigitValue(encoded[i + 2]);
            // Not hexadecimal: the integer conversion of the "$xy" notation fails.
            if (high < 0 || low < 0) StrToInt("$" + std::string(encoded.substr(i + 1, 2)));
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return 0;  // fill characters and anything else
}

// Base64 style over the encoded text and its closing "?=", four characters
// at a time while four remain.
std::string DecodeB(std::string_view encoded) {
    const std::string source = std::string(encoded) + "?=";
    std::string out;
    out.reserve(source.size() / 4 * 3);
    for (std::size_t i = 0; i + 4 <= source.size(); i += 4) {
        const int c1 = Base64Value(source[i]), c2 = Base64Value(source[i + 1]);
        const int c3 = Base64Value(source[i + 2]), c4 = Base64Value(source[i + 3]);
        out += static_cast<char>((c1 << 2 | c2 >> 4) & 0xFF);
        out += static_cast<char>((c2 << 4 | c3 >> 2) & 0xFF);
        out += static_cast<char>((c3 << 6 | c4) & 0xFF);
    }
    return out;
}

// Decodes the candidate word starting at 0-based `a` in `s`. Returns false,
// leaving `s` alone, when the word is not complete.
bool TryWord(std::string& s, std::size_t a) {
    const std::size_t q1 = s.find('?', a + 4);
    if (q1 == std::string::npos) return false;
    const std::size_t q2 = s.find('?', q1 + 1);
    if (q2 == std::string::npos) return false;
    const std::size_t e = s.find("?=", q2 + 1);
    if (e == std::string::npos) return false;
    const std::string_view view(s);
    const std::string_view charset = view.substr(a + 2, q1 - a - 2);
    const char letter = s[q1 + 1];
    const std::string_view encoded = view.substr(q2 + 1, e - q2 - 1);
    std::string decoded = (letter == 'Q' || letter == 'q') ? DecodeQ(encoded) : DecodeB(encoded);
    if (UpperCase(charset) == "ISO-2022-JP") decoded = JisToShiftJis(decoded);
    s.replace(a, e + 2 - a, decoded);
    return true;
}

// Tries every occurrence of `prefix` (ignoring case) from the start; a decoded
// word is scanned again from its second character on.
void DecodePhase(std::string& s, std::string_view prefix) {
    std::string upper = UpperCase(s);
    std::size_t p = 0;
    for (std::size_t a; (a = upper.find(prefix, p)) != std::string::npos; p = a + 1) {
        if (TryWord(s, a)) upper = UpperCase(s);
    }
}

}  // namespace

std::string DecodeHeaderWords(std::string_view text) {
    std::string s(text);
    DecodePhase(s, "=?ISO");
    DecodePhase(s, "=?WINDOWS");
    s.erase(std::remove(s.begin(), s.end(), '\0'), s.end());
    return s;
}

std::string JisToShiftJis(std::string_view t) {
    std::string out;
    out.reserve(t.size());
    bool kanji = false;
    std::size_t i = 0;
    while (i < t.size()) {
        const unsigned a = static_cast<unsigned char>(t[i]);
        if (a == 27) {
            if (i + 2 < t.size()) {
                const std::string_view pair = t.substr(i + 1, 2);
                if (pair == "$B") kanji = true;
                if (pair == "(B") kanji = false;
                i += 3;
            } else {
                i += 1;
            }
        } else if (!kanji) {
            out += static_cast<char>(a);
            i += 1;
        } else if (i + 1 < t.size()) {
            const unsigned b = static_cast<unsigned char>(t[i + 1]);
            const unsigned lead = ((a - 1) >> 1) + (a >= 95 ? 177 : 113);
            const unsigned trail = a % 2 == 0 ? b + 126 : b < 96 ? b + 31 : b + 32;
            out += static_cast<char>(lead & 0xFF);
            out += static_cast<char>(trail & 0xFF);
            i += 2;
        } else {
            i += 1;  // a lone byte at the end in two-byte mode
        }
    }
    return out;
}
