#pragma once
// Character classes and 1-based search helpers of the address parser and
// formatter. Positions are 1-based; 0 means none.
#include <string>
#include <string_view>

namespace address_text {

// Letters, digits and the 18 atom signs; the period is not one of them.
bool IsAtomChar(char c);
// Atom characters and SPACE.
bool IsNameChar(char c);
// Backslash and double quote: preceded by a backslash inside quotes.
inline bool IsEscapedChar(char c) { return c == '\\' || c == '"'; }
// Appends `text` to `out`, a backslash before each escaped character.
inline void AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        if (IsEscapedChar(c)) out += '\\';
        out += c;
    }
}

// Smallest position in `text` of a character of `set`.
std::size_t FindFirstOf(std::string_view set, std::string_view text);
// Position of the first character of `text` failing `keep`; 0 when every one passes.
template <typename Pred>
std::size_t FindFirstNotOf(Pred keep, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!keep(text[i])) return i + 1;
    }
    return 0;
}
// `text` without leading and trailing characters of `chars`.
std::string_view TrimAllOf(std::string_view chars, std::string_view text);

// The first `n` characters of `text` (clipped) and what follows position `p`.
inline std::string_view Head(std::string_view text, std::size_t n) { return text.substr(0, n); }
inline std::string_view After(std::string_view text, std::size_t p) {
    return p >= text.size() ? std::string_view() : text.substr(p);
}

}  // namespace address_text

// `domain` is `base` or one of its subdomains (both in one case).
inline bool WithinDomain(std::string_view domain, std::string_view base) {
    if (base.empty() || domain.size() < base.size()) return false;
    if (domain.size() == base.size()) return domain == base;
    return domain.ends_with(base) && domain[domain.size() - base.size() - 1] == '.';
}
