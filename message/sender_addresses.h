#pragma once
// Every address a From field names, read tolerantly: the address parser
// takes one address and glues the rest ("Bob <bob@x> Bobby <bobby@x>" gives
// "bob@xbobby@x"), or refuses the field; the lists still want each address.
#include <string>
#include <string_view>
#include <vector>

// The addresses of `field` in order, each once (case ignored): what stands
// in angle brackets and each bare word with an at sign, outside quotes and
// comments. Never throws; a field without an at sign gives none.
std::vector<std::string> SenderAddresses(std::string_view field);
// The text of the field's first mailbox, for the one sender a row shows: up to
// the first comma or semicolon after an address, or through the first
// angle-bracketed address, outside quotes and comments; all of `field` when
// it names one.
std::string_view FirstMailbox(std::string_view field);
