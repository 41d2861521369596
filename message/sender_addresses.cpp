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

// Walks `field` outside quotes and comments, gathering each word: at every
// separator `separator(i, c, word)` is told the word before it and returns
// false to stop there. The last word comes with i at the field's end and c 0.
template <typename Separator>
void WalkWords(std::string_view field, Separator separator) {
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
            if (!separator(i, c, word)) return;
            quoted = c == '"';
            comments = c == '(' ? 1 : 0;
            if (c == '<' || c == '>') angled = c == '<';
        } else {
            word += c;
        }
    }
    separator(field.size(), '\0', word);
}

// The text of the field's first mailbox; all of `field` when it names one.
std::string_view FirstMailbox(std::string_view field) {
    std::size_t end = field.size();
    bool address = false;  // a comma before any address is part of a name
    WalkWords(field, [&](std::size_t i, char c, std::string& word) {
        address = address || word.find('@') != std::string::npos;
        word.clear();
        if (!address) return true;
        if (c == ',' || c == ';') {
            end = i;
        } else if (c == '>') {
            end = i + 1;
        } else {
            return true;
        }
        return false;
    });
    return field.substr(0, end);
}

}  // namespace

std::vector<std::string> SenderAddresses(std::string_view field) {
    std::vector<std::string> out;
    WalkWords(field, [&](std::size_t, char, std::string& word) {
        AddAddress(out, word);
        return true;
    });
    return out;
}

void SetSender(TIdEMailAddressItem& item, std::string_view field) {
    item.SetText(field);
    item.SetText(FirstMailbox(field));
}
