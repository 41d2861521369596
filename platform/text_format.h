#pragma once
// Fills the "%s" and "%d" places of a message pattern, in order, with the
// given texts (already converted to text by the caller). Places without an
// argument stay as they are; extra arguments are ignored.
#include <initializer_list>
#include <string>
#include <string_view>

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);
