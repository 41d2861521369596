#include "message/header_coder.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/charset.h"
#include "platform/text.h"

namespace {

// What a word decodes to: bytes in the word's charset, and characters that
// stood in the header as they are (already UTF-8), kept from a second reading.
struct WordPiece {
    std::string bytes;
    bool literal = false;
};

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// Quoted-printable style: "_" is a blank, "=xy" a byte in hexadecimal; an
// equals sign with fewer than two characters after it stands for itself.
std::vector<WordPiece> DecodeQ(std::string_view encoded) {
    std::vector<WordPiece> pieces(1);
    pieces.front().bytes.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        std::string& out = pieces.back().bytes;
        if (!IsAscii(c)) {
            std::size_t j = i;
            while (j < encoded.size() && !IsAscii(encoded[j])) ++j;
            pieces.push_back({std::string(encoded.substr(i, j - i)), true});
            pieces.emplace_back();
            i = j - 1;
        } else if (c == '_') {
            out += ' ';
        } else if (c == '=' && i + 2 < encoded.size()) {
            const std::optional<char> byte = HexPairValue(encoded[i + 1], encoded[i + 2]);
            // Not hexadecimal: the integer conversion of the "$xy" notation fails.
            if (!byte) StrToInt("$" + std::string(encoded.substr(i + 1, 2)));
            out += *byte;
            i += 2;
        } else {
            out += c;
        }
    }
    return pieces;
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
// at a time while four remain. The bytes that only fill the last group are
// dropped: in UTF-16 a stray zero byte would shift every later character.
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
    const std::size_t data = encoded.find_last_not_of('=') + 1;  // npos + 1 == 0
    out.resize(std::min(out.size(), data * 6 / 8));
    return out;
}

struct EncodedWord {
    std::size_t end;  // just after the closing "?="
    std::optional<Charset> charset;
    std::vector<WordPiece> pieces;
};

// Where no encoded word can complete any more: a "?" or the closing "?=" is
// missing after this word's start, and so after every later one's.
constexpr std::size_t kNoMoreWords = std::string::npos;

// The word at 0-based `a` (which holds "=?"); its end is kNoMoreWords when it
// is not complete. The text is decoded only when the charset is known.
EncodedWord WordAt(std::string_view s, std::size_t a) {
    const std::size_t q1 = s.find('?', a + 2);
    if (q1 == std::string::npos) return {kNoMoreWords, {}, {}};
    const std::size_t q2 = s.find('?', q1 + 1);
    if (q2 == std::string::npos) return {kNoMoreWords, {}, {}};
    const std::size_t e = s.find("?=", q2 + 1);
    if (e == std::string::npos) return {kNoMoreWords, {}, {}};
    EncodedWord word{e + 2, Charset::Find(s.substr(a + 2, q1 - a - 2)), {}};
    if (!word.charset) return word;
    const char letter = s[q1 + 1];
    const std::string_view encoded = s.substr(q2 + 1, e - q2 - 1);
    if (letter == 'Q' || letter == 'q')
        word.pieces = DecodeQ(encoded);
    else
        word.pieces.push_back({DecodeB(encoded)});
    return word;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct DecodedRun {
    std::size_t end;  // just after its last word; kNoMoreWords, see WordAt
    bool decoded;     // false: no decodable word at its start, `text` empty
    std::string text;
};

// The text of the run of decodable words that starts at `a`: words separated
// only by blanks join without them, and the bytes of neighbours in the same
// charset are converted together, so that a character split between two
// words comes out whole.
DecodedRun DecodeRunAt(std::string_view s, std::size_t a) {
    EncodedWord word = WordAt(s, a);
    if (word.end == kNoMoreWords || !word.charset) return {word.end, false, {}};
    std::string text, pending;
    Charset charset = *word.charset;
    std::size_t end = a;
    for (;;) {
        if (*word.charset != charset) {
            text += charset.ToUtf8(pending);
            pending.clear();
            charset = *word.charset;
        }
        for (const WordPiece& piece : word.pieces) {
            if (!piece.literal) {
                pending += piece.bytes;
                continue;
            }
            text += charset.ToUtf8(pending);
            pending.clear();
            text += piece.bytes;
        }
        end = word.end;
        std::size_t next = end;
        while (next < s.size() && IsBlank(s[next])) ++next;
        if (s.compare(next, 2, "=?") != 0) break;
        word = WordAt(s, next);
        if (word.end == kNoMoreWords || !word.charset) break;
    }
    text += charset.ToUtf8(pending);
    return {end, true, std::move(text)};
}

}  // namespace

// One pass: the text before each run goes out as it is, then the run's
// text. A decoded run is scanned again from its second character on, as if
// it had replaced its words in place; when it is not longer than they are,
// it is written over their end and the scan goes on from there, with nothing
// moved.
std::string DecodeHeaderWords(std::string_view text) {
    std::string s = UnlabelledToUtf8(text);
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;  // what is before has gone out
    for (std::size_t a; (a = s.find("=?", from)) != std::string::npos;) {
        DecodedRun run = DecodeRunAt(s, a);
        if (run.end == kNoMoreWords) break;
        if (!run.decoded) {
            out.append(s, from, a + 1 - from);
            from = a + 1;
            continue;
        }
        out.append(s, from, a - from);
        // The first character after the replacement is never scanned again.
        const std::string_view replaced =
            run.text.empty() ? std::string_view(s).substr(run.end, 1) : run.text;
        if (run.text.empty()) run.end += replaced.size();
        out += replaced.substr(0, 1);
        const std::string_view rescanned = run.text.empty() ? std::string_view() : replaced.substr(1);
        if (rescanned.size() <= run.end - a - 1) {
            from = run.end - rescanned.size();
            std::copy(rescanned.begin(), rescanned.end(), s.begin() + static_cast<std::ptrdiff_t>(from));
        } else {
            s = std::string(rescanned) + s.substr(run.end);
            from = 0;
        }
    }
    out.append(s, from);
    out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
    return out;
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
