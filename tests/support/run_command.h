#pragma once
// Runs a shell command line and collects what it writes on its standard
// output (add "2>&1" to collect its errors too).
#include <string>

// The command's exit status, or -1 when it could not run or was killed.
int RunCommand(const std::string& command, std::string& output);
