#pragma once
// The current user's hive of a Windows compatibility prefix ("user.reg", a
// text file): "[Key\\Path] stamp" section lines, then values as
// "Name"="string", "Name"=dword:0000000a, "Name"=hex:01,02 (hex(n): for other
// types, a trailing "\" continuing the list), "Name"=str(2):"expandable",
// @= for the default value. Strings carry the escapes \\, \", \n, \r, \t,
// \0 and \xNNNN (a UTF-16 unit in hex), and are stored in Windows-1252.
//
// Parsing is tolerant: a line it does not understand is skipped, never
// stopping the rest.
#include <string_view>

#include "platform/memory_registry.h"

// Adds every key and value of the hive text to `registry`.
void ReadWineHive(std::string_view text, MemoryRegistry& registry);
