#include "message/header_encoder.h"

#include <clocale>
#include <optional>
#include <vector>

#include "message/address_text.h"
#include "platform/charset.h"
#include "platform/text.h"

namespace {

constexpr std::size_t kMaxLine = 75;
constexpr std::string_view kContinuation = "\r\n\t";

bool NeedsEncoding(std::string_view text) {
    for (char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b < 32 || b > 126) return true;
    }
    return false;
}

bool IsQLiteral(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("!*+-/").find(c) != std::string_view::npos;
}

std::string EncodeQ(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == ' ') {
            out += '_';
        } else if (IsQLiteral(c)) {
            out += c;
        } else {
            out += '=';
            AppendHexByte(out, static_cast<unsigned char>(c));
        }
    }
    return out;
}

// Encoded words for `bytes`, each short enough to stand on a line of its own
// after the continuation TAB.
std::vector<std::string> EncodedWords(std::string_view bytes, char letter, std::string_view charSet) {
    const bool base64 = letter == 'B' || letter == 'b';
    const std::string head = "=?" + std::string(charSet) + "?" + std::string(1, base64 ? 'B' : 'Q') + "?";
    const std::size_t room = kMaxLine - 1 > head.size() + 2 ? kMaxLine - 1 - head.size() - 2 : 0;
    // Worst case: 3 characters per byte in Q, 4 per 3 bytes in B.
    const std::size_t chunk = std::max<std::size_t>(1, base64 ? room / 4 * 3 : room / 3);
    std::vector<std::string> words;
    for (std::size_t i = 0; i < bytes.size(); i += chunk) {
        const std::string_view piece = bytes.substr(i, chunk);
        words.push_back(head + (base64 ? EncodeBase64(piece) : EncodeQ(piece)) + "?=");
    }
    return words;
}

// Splits at SPACE; words needing encoding, with the blanks between them, form
// one stretch so that the decoded text keeps its blanks.
std::vector<std::pair<std::string, bool>> Stretches(std::string_view text) {
    std::vector<std::pair<std::string, bool>> out;
    std::string rest(text);
    while (true) {
        const bool last = rest.find(' ') == std::string::npos;
        std::string word = SplitAt(rest, " ");
        const bool encode = NeedsEncoding(word);
        if (encode && !out.empty() && out.back().second) {
            out.back().first += " " + word;
        } else {
            out.emplace_back(std::move(word), encode);
        }
        if (last) break;
    }
    return out;
}

}  // namespace

HeaderEncodingDefaults DefaultHeaderEncoding(std::string_view localeName) {
    const std::string name = LowerCase(localeName);
    const std::string language = name.substr(0, 2);
    if (language == "zh") {
        const bool simplified = name.rfind("zh_cn", 0) == 0 || name.rfind("zh_sg", 0) == 0;
        return {simplified ? "GB2312" : "Big5", 'B', false};
    }
    if (language == "ja") return {"ISO-2022-JP", 'B', true};
    if (language == "ko") return {"EUC-KR", 'B', false};
    return {"ISO-8859-1", 'Q', false};
}

HeaderEncodingDefaults SystemHeaderEncoding() {
    const char* name = std::setlocale(LC_CTYPE, nullptr);
    return DefaultHeaderEncoding(name ? name : "");
}

std::string EncodeHeader(std::string_view utf8, char letter, std::string_view wantedCharSet) {
    if (!NeedsEncoding(utf8)) return std::string(utf8);
    // The send side converts only to Windows-1252 (and the labels read as
    // such); for another charset, or a text that one cannot hold, the words
    // are written in UTF-8.
    const std::optional<Charset> wanted = Charset::Find(wantedCharSet);
    const bool ansi = wanted && wanted->IsAnsi() && FitsAnsi(utf8);
    const std::string text = ansi ? Utf8ToAnsi(utf8) : std::string(utf8);
    const std::string_view charSet = ansi ? wantedCharSet : std::string_view("UTF-8");
    std::string out;
    std::size_t lineLength = 0;
    bool first = true;
    auto append = [&](const std::string& token, bool newLine) {
        if (!first && (newLine || lineLength + 1 + token.size() > kMaxLine)) {
            out += kContinuation;
            lineLength = 1;
        } else if (!first) {
            out += ' ';
            ++lineLength;
        }
        out += token;
        lineLength += token.size();
        first = false;
    };
    for (const auto& [stretch, encode] : Stretches(text)) {
        if (!encode) {
            append(stretch, false);
            continue;
        }
        // The pieces of one stretch go on lines of their own: a blank between
        // them would be read back as part of the text.
        bool firstPiece = true;
        for (const std::string& word : EncodedWords(stretch, letter, charSet)) {
            append(word, !firstPiece);
            firstPiece = false;
        }
    }
    return out;
}

std::string EncodeAddressItem(const TIdEMailAddressItem& item, char letter, std::string_view charSet) {
    if (item.Name.empty()) return item.Address;
    std::string name;
    if (NeedsEncoding(item.Name)) {
        name = EncodeHeader(item.Name, letter, charSet);
    } else {
        name = "\"";
        address_text::AppendEscaped(name, item.Name);
        name += '"';
    }
    return name + " <" + item.Address + ">";
}

std::string EncodeAddress(const TIdEMailAddressList& list, char letter, std::string_view charSet) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i) {
        if (i > 0) text += ", ";
        text += EncodeAddressItem(list[i], letter, charSet);
    }
    return text;
}
