#pragma once
// The members of one JSON object (RFC 8259), as a token endpoint answers:
// {"access_token":"…","expires_in":3599}. Only the top level is kept; an
// object or array inside is checked and skipped.
#include <map>
#include <optional>
#include <string>
#include <string_view>

// Each top-level member's value as text: a string unescaped (UTF-8, \uXXXX
// pairs joined), a number, true, false or null as written. Nothing for
// anything but one object and blanks, for nesting deeper than 32 levels and
// for a text over 1 MiB. A repeated name keeps its last value. Never throws.
std::optional<std::map<std::string, std::string>> JsonObjectFields(std::string_view text);
