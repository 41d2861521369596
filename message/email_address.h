#pragma once
// Structured e-mail addresses: a display name and an address, parsed from and
// formatted to header text. The parser is exact to the character, quirks
// included, because the parsed Name is what the screener shows and matches
// against the friend and intruder lists:
//  - a name given only as a comment is dropped ("a@b (Jean)" has no Name);
//  - a bare name without address loses its last word and keeps a trailing
//    blank ("Jean Dupont" gives Name "Jean ");
//  - a blank after a closing quote is lost ("Jean \"Le\" Dupont <a@b>" gives
//    "Jean LeDupont").
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "message/message_errors.h"

class TIdEMailAddressItem {
public:
    std::string Address;  // local part, at sign, domain; without angle brackets
    std::string Name;     // without quotes and escapes

    // Header text of the address: Name (quoted when it holds a character that
    // is not a letter, digit, atom sign or blank) and AddressForm.
    std::string Text() const;
    // Parses one address into Name and Address (both cleared first). Never
    // rejects odd text; throws EIdEmailParseError on an at sign after a closed
    // angle-bracketed address, leaving what was parsed so far in place.
    void SetText(std::string_view text);
    // The address part: bare, in angle brackets when there is a Name, the
    // local part quoted when needed; "<>" for a Name without Address.
    std::string AddressForm() const;
    // Copies Address and Name.
    void Assign(const TIdEMailAddressItem& other);
};
