#include "message/sender_addresses.h"

#include <algorithm>

#include "platform/text.h"

namespace {

void AddAddress(std::vector<std::string>& out, std::string& word) {
    if (word.find('@') != std::string::npos) {
        const bool known = std::any_of(out.begin(), out.end(),
                                       [&](const std::string& seen) { return SameText(seen, word); });
        if (!known) out.push_back(word);
    }
    word.clear();
}

}  // namespace

std::vector<std::string> SenderAddresses(std::string_view field) {
    std::vector<std::string> out;
    std::string word;
    bool quoted = false;
    bool angled = false;
    int comments = 0;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if ((quoted || comments > 0) && c == '\\') {
            ++i;  // the escaped character is text
        } else if (quoted) {
            quoted = c != '"';
        } else if (comments > 0) {
            comments += c == '(' ? 1 : c == ')' ? -1 : 0;
        } else if (c == '"' || c == '(' || c == '<' || c == '>' || c == ',' || c == ';' || c == ':' ||
                   c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            // An angle-bracketed address may hold blanks before or after its parts.
            if (angled && c != '>' && c != '<') continue;
            AddAddress(out, word);
            quoted = c == '"';
            comments = c == '(' ? 1 : 0;
            if (c == '<' || c == '>') angled = c == '<';
        } else {
            word += c;
        }
    }
    AddAddress(out, word);
    return out;
}
