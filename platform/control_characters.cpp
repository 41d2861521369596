#include "platform/control_characters.h"

namespace {
bool IsAnsiC1(unsigned char c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }
bool IsC0OrDel(unsigned char c) { return c < 0x20 || c == 0x7F; }

void AppendCaret(std::string& out, unsigned char c) {
    out += '^';
    out += c == 0x7F ? '?' : static_cast<char>(c + 0x40);
}
}  // namespace

std::string WithoutControls(std::string_view ansi) {
    std::string out(ansi);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsC0OrDel(byte) || IsAnsiC1(byte)) c = ' ';
    }
    return out;
}

std::string VisibleControls(std::string_view text, ControlSet set, bool keepLineFeeds) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\t' || (c == '\n' && keepLineFeeds)) {
            out += static_cast<char>(c);
        } else if (IsC0OrDel(c)) {
            AppendCaret(out, c);
        } else if (set == ControlSet::Ansi && IsAnsiC1(c)) {
            out += "M-";
            AppendCaret(out, static_cast<unsigned char>(c - 0x80));
        } else if (set == ControlSet::Utf8 && c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            out += "M-";
            AppendCaret(out, static_cast<unsigned char>(text[++i] - 0x80));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}
