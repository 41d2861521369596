#include "message/address_text.h"

namespace address_text {

bool IsAtomChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return c != '\0' && std::string_view("!#$%&'*+-/=?_`{}|~").find(c) != std::string_view::npos;
}

bool IsNameChar(char c) { return c == ' ' || IsAtomChar(c); }

std::size_t FindFirstOf(std::string_view set, std::string_view text) {
    const std::size_t p = text.find_first_of(set);
    return p == std::string_view::npos ? 0 : p + 1;
}

std::string_view TrimAllOf(std::string_view chars, std::string_view text) {
    const std::size_t first = text.find_first_not_of(chars);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(chars);
    return text.substr(first, last - first + 1);
}

}  // namespace address_text
