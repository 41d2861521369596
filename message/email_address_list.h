#pragma once
// A list of e-mail addresses, as an address header holds them (To, Cc, ...).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "message/email_address.h"

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
