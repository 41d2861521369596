#include "mime/decoder_quoted_printable.h"

#include "platform/text.h"

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Removes the trailing TAB, LF, CR and space characters of `text` into
// `breaks`, keeping only its CR and LF characters, in their order.
std::string_view StripTrailingBlanks(std::string_view text, std::string& breaks) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t' || IsLineBreak(text[end - 1]))) --end;
    breaks.clear();
    for (char c : text.substr(end))
        if (IsLineBreak(c)) breaks += c;
    return text.substr(0, end);
}

// Removes up to two leading characters, each only while it is CR or LF.
void SkipLineBreak(std::string_view& rest) {
    for (int i = 0; i < 2 && !rest.empty() && IsLineBreak(rest.front()); ++i) rest.remove_prefix(1);
}

// Takes up to two hexadecimal digits from the start of `rest`; -1 when there is none.
int TakeHexByte(std::string_view& rest) {
    int value = -1;
    for (int i = 0; i < 2 && !rest.empty(); ++i) {
        int digit = HexDigitValue(rest.front());
        if (digit < 0) break;
        value = (value < 0 ? 0 : value * 16) + digit;
        rest.remove_prefix(1);
    }
    return value;
}

}  // namespace

void TIdDecoderQuotedPrintable::DecodeToStream(std::string_view text, std::ostream& stream) {
    std::string breaks;
    std::string_view body = StripTrailingBlanks(text, breaks);
    // The stripped line with its CR and LF again, walked as one piece.
    line_.assign(body).append(breaks);
    std::string_view rest = line_;
    buffer_.clear();
    while (!rest.empty()) {
        std::size_t eq = rest.find('=');
        buffer_.append(rest.substr(0, eq));
        rest = eq == std::string_view::npos ? std::string_view{} : rest.substr(eq + 1);
        if (rest.empty()) break;
        int byte = TakeHexByte(rest);
        if (byte < 0) {
            SkipLineBreak(rest);  // a soft line break, or a stray "=" dropped
        } else if (byte == ' ' && !rest.empty() && IsLineBreak(rest.front())) {
            buffer_.append(" \r\n");
            SkipLineBreak(rest);
        } else {
            buffer_ += static_cast<char>(byte);
        }
    }
    if (!buffer_.empty()) stream.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
}
