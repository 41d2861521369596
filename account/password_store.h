#pragma once
// The stored form of a password the scrambled "Passe" value cannot hold
// (longer than 8 characters, or with a character outside "0" to "z"): every
// byte is moved by an amount that depends on its place and written as two
// hexadecimal digits, so that any byte survives the settings file and the
// password is not readable at a glance. Like the scrambling, it hides; the
// file's owner-only access is what protects it.
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t kLongestPassword = 255;

std::string EncodeStoredPassword(std::string_view password);
// Nothing for a text that no password encodes to (hand-edited).
std::optional<std::string> DecodeStoredPassword(std::string_view stored);
