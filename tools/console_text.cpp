#include "tools/console_text.h"

#include "platform/control_characters.h"
#include "platform/text.h"

std::string ConsoleText(std::string_view ansi) { return VisibleControls(ansi, true); }
