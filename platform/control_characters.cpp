#include "platform/control_characters.h"

#include <algorithm>

#include "platform/text.h"

namespace {

bool IsC0OrDel(char32_t c) { return c < 0x20 || c == 0x7F; }
bool IsC1(char32_t c) { return c >= 0x80 && c <= 0x9F; }

void AppendCaret(std::string& out, char32_t c) {
    out += '^';
    out += c == 0x7F ? '?' : static_cast<char>(c + 0x40);
}

void AppendCodeName(std::string& out, char32_t c) {
    out += "<U+";
    AppendHexByte(out, static_cast<unsigned char>(c >> 8));
    AppendHexByte(out, static_cast<unsigned char>(c & 0xFF));
    out += '>';
}

// Every character of `utf8`, each control replaced as `replace` says.
template <typename Replace>
std::string Rewritten(std::string_view utf8, Replace replace) {
    // Printable ASCII is never rewritten: most names and subjects go through
    // whole, without a look at each character.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = Utf8Next(utf8, i, c);
        if (!replace(out, c)) {
            if (c == 0xFFFD && length == 1)
                AppendUtf8(out, c);
            else
                out.append(utf8.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::string Spaced(std::string_view utf8, bool address) {
    return Rewritten(utf8, [address](std::string& out, char32_t c) {
        if (IsC0OrDel(c) || IsC1(c)) {
            out += ' ';
        } else if (ReordersText(c) || (address && IsZeroWidth(c))) {
            AppendCodeName(out, c);
        } else {
            return false;
        }
        return true;
    });
}

}  // namespace

bool ReordersText(char32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F ||
           c == 0x061C;
}

bool IsZeroWidth(char32_t c) { return c >= 0x200B && c <= 0x200D; }

std::string WithoutControls(std::string_view utf8) { return Spaced(utf8, false); }

std::string AddressWithoutControls(std::string_view utf8) { return Spaced(utf8, true); }

std::string VisibleControls(std::string_view utf8, bool keepLineFeeds) {
    return Rewritten(utf8, [keepLineFeeds](std::string& out, char32_t c) {
        if (c == '\t' || (c == '\n' && keepLineFeeds)) return false;
        if (IsC0OrDel(c)) {
            AppendCaret(out, c);
        } else if (IsC1(c)) {
            out += "M-";
            AppendCaret(out, c - 0x80);
        } else if (ReordersText(c)) {
            AppendCodeName(out, c);
        } else {
            return false;
        }
        return true;
    });
}
