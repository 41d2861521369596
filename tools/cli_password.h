#pragma once
// Where vannoir-cli takes a password from: never the command line.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Asks for a password with a prompt (UTF-8); nothing when none was given.
using PasswordReader = std::function<std::optional<std::string>(std::string_view prompt)>;

// At a terminal: the prompt on standard error, then one line typed without
// echo. Otherwise: the first line of standard input, without its line end.
// An empty line or no input gives nothing. The text is as typed (UTF-8).
std::optional<std::string> ReadPasswordFromInput(std::string_view prompt);
