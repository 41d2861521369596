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

class TIdEMailAddressList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Item at `index` (from 0); throws EListError outside the list.
    TIdEMailAddressItem& operator[](int index);
    const TIdEMailAddressItem& operator[](int index) const;
    TIdEMailAddressItem& Items(int index) { return (*this)[index]; }
    void Clear() { items_.clear(); }
    // A new empty item at the end; the reference stays valid until the item
    // is deleted or the list cleared.
    TIdEMailAddressItem& Add();
    // Destroys the item at `index`, removing it from the list.
    void Delete(int index);
    // The items' Text joined with ", ".
    std::string AsText() const;
    // Clears the list, then adds one item per address of `text` (groups,
    // comments and quotes understood; empty entries dropped). Throws
    // EIdEmailParseError from an item; the items added so far, the failing
    // one included, stay.
    void AssignText(std::string_view text);

private:
    // Adds an item parsed from `text`; drops it when it formats as blank or "<>".
    void AddUnlessEmpty(std::string_view text);
    std::vector<std::unique_ptr<TIdEMailAddressItem>> items_;
};
