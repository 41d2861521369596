#pragma once
// The members of one JSON object (RFC 8259), as a token endpoint answers:
// {"access_token":"…","expires_in":3599}. Only the top level is read; an
// object or array inside is checked and kept as its JSON text, to be read
// in turn.
#include <map>
#include <optional>
#include <string>
#include <string_view>

// Each top-level member's value as text: a string unescaped (UTF-8, \uXXXX
// pairs joined), a number, true, false, null, an object or an array as
// written. Nothing for anything but one object and blanks, for nesting deeper
// than 32 levels and for a text over 1 MiB. A repeated name keeps its last value. Never throws.
std::optional<std::map<std::string, std::string>> JsonObjectFields(std::string_view text);
