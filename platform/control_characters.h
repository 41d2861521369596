#pragma once
// Text from the outside (a sender, a server, the arguments typed) on its way
// to a terminal, a script or a window: no control character gets through as
// such, so an escape sequence cannot drive the terminal, a tab or line end
// cannot forge a field or a row, and a right-to-left override cannot turn
// the columns after it around. All texts are UTF-8; a byte that starts no
// well-formed character comes out as U+FFFD.
#include <string>
#include <string_view>

// The bidirectional embeddings, overrides and isolates (U+202A..U+202E,
// U+2066..U+2069), each reordering what follows it up to the end of the
// line, and the marks (U+200E, U+200F, U+061C), which turn the characters
// around them.
bool ReordersText(char32_t c);
// The zero-width space, non-joiner and joiner (U+200B..U+200D): invisible,
// they make two addresses that look the same differ.
bool IsZeroWidth(char32_t c);

// One field of a row or a line: each control (TAB, CR and LF included)
// replaced by a space, each reordering character shown as "<U+202E>".
std::string WithoutControls(std::string_view utf8);
// The same for an address, its zero-width characters shown as "<U+200D>" too.
std::string AddressWithoutControls(std::string_view utf8);

// The controls shown visibly: "^[" for ESC, "^M" for CR, "^?" for DEL,
// "M-^]" for a C1 control, "<U+202E>" for a reordering character; TAB is
// kept, and LF too when `keepLineFeeds`. The other characters are kept.
std::string VisibleControls(std::string_view utf8, bool keepLineFeeds = false);
