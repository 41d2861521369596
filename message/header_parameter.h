#pragma once
// Parameters of a header value written the extended way, for values that
// need a charset or more than one line:
//   filename*=UTF-8''r%C3%A9sum%C3%A9.pdf
//   filename*0*=UTF-8''r%C3%A9; filename*1*=sum%C3%A9.pdf
//   filename*0="un long"; filename*1=" nom.pdf"
#include <optional>
#include <string>
#include <string_view>

// The value of parameter `name` (case ignored) of `headerValue` when the value
// uses the extended form ("name*=" or numbered pieces "name*0=", "name*0*=",
// "name*1*=" ...), as UTF-8 text; nothing when it does not. Pieces
// join in number order up to the first missing number; pieces marked "*"
// are percent-decoded, the others taken as they stand (unquoted); the bytes
// are converted from the charset the first piece names before its first
// quote ("UTF-8''..."). An unknown charset leaves the bytes as they are; no
// charset: well-formed UTF-8 is kept, other bytes read as Windows-1252.
// Never throws (but std::bad_alloc).
std::optional<std::string> ExtendedParameter(std::string_view headerValue, std::string_view name);
