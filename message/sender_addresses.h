#pragma once
// A From field's sender and every address it names. The address parser
// takes one address and glues the rest ("Bob <bob@x> Bobby <bobby@x>" gives
// "bob@xbobby@x"), or refuses the field: the sender shown is the first
// mailbox, and the lists, read tolerantly, want each address.
#include <string>
#include <string_view>
#include <vector>

#include "message/email_address.h"

// The addresses of `field` in order, each once (case ignored): what stands
// in angle brackets and each bare word with an at sign, outside quotes and
// comments. Never throws; a field without an at sign gives none.
std::vector<std::string> SenderAddresses(std::string_view field);
// The sender of a From field: the whole field must read (throws as
// TIdEMailAddressItem::SetText), and `item` holds its first mailbox: the
// text up to the first comma or semicolon after an address, or through the
// first angle-bracketed address, outside quotes and comments.
void SetSender(TIdEMailAddressItem& item, std::string_view field);
