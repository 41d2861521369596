#pragma once
// The counts and sizes in POP3 replies: a message count or an octet size is
// never negative, so a negative one is a protocol error, not a value to show.
#include <cstdint>
#include <optional>
#include <string_view>

// `text` read as StrToInt reads it: nullopt when it is not an integer.
// Throws EIdPOP3NegativeCount when it is a negative one.
std::optional<std::int32_t> NonNegativeCount(std::string_view text);
