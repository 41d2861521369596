#pragma once
// Text of the fake server's scripts: parsing, escapes, readable transcripts.
#include <string>
#include <string_view>
#include <vector>

#include "support/scripted_pop3_server.h"

// The steps of a script (see scripted_pop3_server.h). Throws
// std::invalid_argument for a line it does not know.
std::vector<ScriptedPop3Server::Step> ParsePop3Script(std::string_view script);
// \r \n \t \\ and \xHH to their bytes; any other backslash stays.
std::string UnescapeScriptText(std::string_view text);
// Bytes for a transcript: CR, LF, TAB, backslash and non-ASCII escaped.
std::string PrintableBytes(std::string_view bytes);
