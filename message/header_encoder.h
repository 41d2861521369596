#pragma once
// Send side: header text into encoded words ("=?charset?letter?text?=") and
// addresses into header text. The screener itself never sends.
#include <string>
#include <string_view>

#include "message/email_address_list.h"

struct HeaderEncodingDefaults {
    std::string CharSet;
    char HeaderEncoding = 'Q';       // 'B' or 'Q'
    bool Iso2022JpTransfer = false;  // the transfer kind iso2022jp, else bit8
};

// Defaults for a language given as a locale name ("fr_FR.UTF-8", "ja_JP",
// "zh_CN"): GB2312 for simplified Chinese, Big5 for other Chinese,
// ISO-2022-JP (with its transfer kind) for Japanese, EUC-KR for Korean, all
// with letter B; ISO-8859-1 with letter Q for any other language.
HeaderEncodingDefaults DefaultHeaderEncoding(std::string_view localeName);
// The same for the language of the process's current locale.
HeaderEncodingDefaults SystemHeaderEncoding();

// UTF-8 `text` with each stretch of words holding a byte outside codes 32 to
// 126 replaced by encoded words of `charSet` and `letter` (B: base64, any
// other: Q), lines kept to 75 characters and continued with CR LF TAB. A
// charset read as Windows-1252 is used when it holds the whole text; any other
// charset gives words in UTF-8. Text needing no encoding comes back
// unchanged. Never throws.
std::string EncodeHeader(std::string_view text, char letter, std::string_view charSet);
// "name <address>", the name encoded when it holds a byte outside 32 to 126,
// else quoted (backslash before backslash and double quote); the bare address
// without a name.
std::string EncodeAddressItem(const TIdEMailAddressItem& item, char letter, std::string_view charSet);
// The encoded items joined with ", ".
std::string EncodeAddress(const TIdEMailAddressList& list, char letter, std::string_view charSet);
