#pragma once
// Texts on their way to the error stream.
#include <string>
#include <string_view>

// A status or message text for the terminal: its line ends kept, its
// other control characters made visible ("^["), so that what a server or a
// sender wrote cannot drive the terminal.
std::string ConsoleText(std::string_view ansi);
