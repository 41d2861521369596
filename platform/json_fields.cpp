#include "platform/json_fields.h"

#include "platform/text.h"

namespace {

constexpr std::size_t kLongestText = 1 << 20;
constexpr int kDeepest = 32;

class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool Object(std::map<std::string, std::string>& fields) {
        if (!Take('{')) return false;
        if (Take('}')) return true;
        do {
            std::string name, value;
            if (!String(name) || !Take(':') || !Value(value, 1)) return false;
            fields[std::move(name)] = std::move(value);
        } while (Take(','));
        return Take('}');
    }
    bool AtEnd() {
        Blanks();
        return at_ == s_.size();
    }

private:
    void Blanks() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r'))
            ++at_;
    }
    bool Take(char c) {
        Blanks();
        if (at_ >= s_.size() || s_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool Word(std::string_view word, std::string& out) {
        if (s_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        out = std::string(word);
        return true;
    }
    bool Value(std::string& out, int depth) {
        Blanks();
        if (at_ >= s_.size() || depth > kDeepest) return false;
        const char c = s_[at_];
        if (c == '"') return String(out);
        if (c == '{' || c == '[') {
            const std::size_t start = at_;
            if (!Nested(depth)) return false;
            out = std::string(s_.substr(start, at_ - start));
            return true;
        }
        if (c == 't') return Word("true", out);
        if (c == 'f') return Word("false", out);
        if (c == 'n') return Word("null", out);
        return Number(out);
    }
    bool Nested(int depth) {
        const char close = s_[at_] == '{' ? '}' : ']';
        ++at_;
        if (Take(close)) return true;
        std::string ignored;
        do {
            if (close == '}' && (!String(ignored) || !Take(':'))) return false;
            if (!Value(ignored, depth + 1)) return false;
        } while (Take(','));
        return Take(close);
    }
    bool Number(std::string& out) {
        const std::size_t start = at_;
        if (at_ < s_.size() && s_[at_] == '-') ++at_;
        const std::size_t digits = at_;
        while (at_ < s_.size() &&
               (IsDigit(s_[at_]) || s_[at_] == '.' || s_[at_] == 'e' || s_[at_] == 'E' ||
                ((s_[at_] == '+' || s_[at_] == '-') && (s_[at_ - 1] == 'e' || s_[at_ - 1] == 'E'))))
            ++at_;
        if (at_ == digits || !IsDigit(s_[digits])) return false;
        out = std::string(s_.substr(start, at_ - start));
        return true;
    }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    bool Hex4(unsigned& code) {
        if (at_ + 4 > s_.size()) return false;
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const int v = HexDigitValue(s_[at_++]);
            if (v < 0) return false;
            code = code * 16 + static_cast<unsigned>(v);
        }
        return true;
    }
    bool Escape(std::string& out) {
        if (at_ >= s_.size()) return false;
        const char c = s_[at_++];
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out += c;
                return true;
            case 'b':
                out += '\b';
                return true;
            case 'f':
                out += '\f';
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 't':
                out += '\t';
                return true;
            case 'u':
                break;
            default:
                return false;
        }
        unsigned code = 0;
        if (!Hex4(code)) return false;
        // A high surrogate joins the low one that must follow; a lone one becomes
        // U+FFFD as it is appended.
        if (code >= 0xD800 && code < 0xDC00 && s_.substr(at_, 2) == "\\u") {
            at_ += 2;
            unsigned low = 0;
            if (!Hex4(low)) return false;
            code =
                low >= 0xDC00 && low < 0xE000 ? 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00) : 0xFFFD;
        }
        AppendUtf8(out, static_cast<char32_t>(code));
        return true;
    }
    bool String(std::string& out) {
        out.clear();
        if (!Take('"')) return false;
        while (at_ < s_.size()) {
            const char c = s_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                out += c;
            } else if (!Escape(out)) {
                return false;
            }
        }
        return false;
    }

    std::string_view s_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<std::map<std::string, std::string>> JsonObjectFields(std::string_view text) {
    if (text.size() > kLongestText) return std::nullopt;
    Reader reader(text);
    std::map<std::string, std::string> fields;
    if (!reader.Object(fields) || !reader.AtEnd()) return std::nullopt;
    return fields;
}
