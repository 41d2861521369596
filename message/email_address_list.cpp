#include "message/email_address_list.h"

#include "message/address_text.h"
#include "platform/string_list.h"
#include "platform/text.h"

using namespace address_text;

namespace {

constexpr std::string_view kListSet = ":;(\", \t";

bool FormatsAsNothing(const TIdEMailAddressItem& item) {
    const std::string text = Trim(item.Text());
    return text.empty() || text == "<>";
}

}  // namespace

TIdEMailAddressItem& TIdEMailAddressList::operator[](int index) {
    if (index < 0 || index >= Count()) throw EListError(index);
    return *items_[static_cast<std::size_t>(index)];
}

const TIdEMailAddressItem& TIdEMailAddressList::operator[](int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return *items_[static_cast<std::size_t>(index)];
}

TIdEMailAddressItem& TIdEMailAddressList::Add() {
    items_.push_back(std::make_unique<TIdEMailAddressItem>());
    return *items_.back();
}

void TIdEMailAddressList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EListError(index);
    items_.erase(items_.begin() + index);
}

std::string TIdEMailAddressList::AsText() const {
    std::string text;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (i > 0) text += ", ";
        text += items_[i]->Text();
    }
    return text;
}

void TIdEMailAddressList::AddUnlessEmpty(std::string_view text) {
    TIdEMailAddressItem& item = Add();
    item.SetText(text);  // on a parse error the item stays with what was parsed
    if (FormatsAsNothing(item)) items_.pop_back();
}

void TIdEMailAddressList::AssignText(std::string_view text) {
    Clear();
    if (Trim(text).empty()) return;
    std::size_t p = FindFirstOf(kListSet, text);
    if (p == 0) {
        Add().SetText(TrimLeft(text));
        return;
    }
    std::string pending;
    bool inQuote = false;
    int depth = 0;
    while (p != 0) {
        const char c = text[p - 1];
        switch (c) {
            case ' ':
            case '\t':
                pending += Head(text, p);
                break;
            case '"':
                pending += Head(text, p);
                inQuote = !inQuote;
                break;
            case '(':
                pending += Head(text, p);
                ++depth;
                break;
            case ')':
                pending += Head(text, p);
                --depth;
                break;
            case ',':
                pending += Head(text, p - 1);
                AddUnlessEmpty(pending);
                pending.clear();
                break;
            case ':':
                pending.clear();
                break;  // a group name is dropped
            case ';':
                pending += Head(text, p - 1);
                if (!Trim(pending).empty()) {
                    Add().SetText(TrimLeft(pending));
                    pending.clear();
                }
                break;
            case '\\':
                pending += Head(text, p + 1);
                ++p;
                break;
        }
        text = After(text, p);
        p = FindFirstOf(depth > 0 ? "(\\)" : inQuote ? "\"\\" : kListSet, text);
    }
    if (Trim(pending).empty() && Trim(text).empty()) return;
    pending += text;
    AddUnlessEmpty(TrimLeft(pending));
}
