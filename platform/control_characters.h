#pragma once
// Text from the outside (a sender, a server, the arguments typed) on its way
// to a terminal or a script: no control character gets through as such, so
// an escape sequence cannot drive the terminal and a tab or line end cannot
// forge a field or a row.
#include <string>
#include <string_view>

// Which bytes are controls: in Windows-1252, the C0 controls, DEL and the
// five bytes the code page leaves undefined (they stand for C1 controls);
// in UTF-8, the C0 controls, DEL and the C1 controls U+0080..U+009F.
enum class ControlSet { Ansi, Utf8 };

// Windows-1252 text with each control (TAB, CR and LF included) replaced by a space.
std::string WithoutControls(std::string_view ansi);

// The controls shown visibly: "^[" for ESC, "^M" for CR, "^?" for DEL, "M-^]"
// for a C1 control; TAB is kept, and LF too when `keepLineFeeds`. The other
// bytes are kept as they are.
std::string VisibleControls(std::string_view text, ControlSet set, bool keepLineFeeds = false);
