#pragma once
// Text helpers over UTF-8 strings; case changes and blanks concern ASCII only.
// Positions are 1-based where a function says so; 0 means "not found".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/id_exception.h"
#include "platform/unicode_text.h"

// --- Character sets -------------------------------------------------------
// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// map to the C1 controls of the same value, so the conversion never fails.
std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 to Windows-1252; a character the code page cannot hold becomes one
// '?', and so does each run of bytes that is not well-formed UTF-8.
std::string Utf8ToAnsi(std::string_view utf8);
// `bytes` as well-formed UTF-8: each run of bytes that forms no character
// becomes one U+FFFD.
std::string ValidUtf8(std::string_view bytes);
// Text whose charset nobody declared: kept when it is well-formed UTF-8
// (ASCII included), else read as Windows-1252.
std::string UnlabelledToUtf8(std::string_view bytes);
// Whether Windows-1252 holds every character of `utf8` (well-formed).
bool FitsAnsi(std::string_view utf8);
// Length of the character at byte `i` (its code point in `cp`); a byte that
// starts no well-formed character counts as one U+FFFD.
std::size_t Utf8Next(std::string_view utf8, std::size_t i, char32_t& cp);
// Whether `bytes` are well-formed UTF-8: shortest forms only, no surrogate,
// nothing past U+10FFFF.
bool IsUtf8(std::string_view bytes);
// Whether any byte is 0x80 or above.
bool HasEightBitBytes(std::string_view bytes);
// The Windows-1252 byte of a Unicode character, '?' when the code page has none.
char AnsiChar(char32_t codePoint);
// Appends one Unicode code point as UTF-8 (an invalid one as U+FFFD).
void AppendUtf8(std::string& utf8, char32_t codePoint);
// Whether `bytes` is well-formed UTF-8 (shortest forms, no surrogates, at
// most U+10FFFF) holding at least one non-ASCII character: the sign that a
// file was written by a UTF-8 editor rather than in Windows-1252.
bool IsNonAsciiUtf8(std::string_view bytes);

// --- Case and blanks -------------------------------------------------------
// Only the ASCII letters change.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
char UpCase(char c);
// Remove leading / trailing characters whose code is 32 or less.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// --- 1-based positions ---------------------------------------------------------
// Position of the first `sub` in `s` at or after `from` (1-based), or 0.
std::size_t Pos(std::string_view sub, std::string_view s, std::size_t from = 1);
std::size_t Pos(char c, std::string_view s, std::size_t from = 1);
// Up to `count` characters from 1-based `index`; empty when out of range.
std::string Copy(std::string_view s, std::size_t index, std::size_t count = std::string_view::npos);
// Remove `count` characters from 1-based `index` (clipped to the text).
void Delete(std::string& s, std::size_t index, std::size_t count);

// --- Splitting ------------------------------------------------------------------
// The text before the first `delimiter`; `input` keeps what follows it. Without
// the delimiter, returns all of `input` and leaves it empty.
std::string SplitAt(std::string& input, std::string_view delimiter);
// The same, leaving `input` untouched.
std::string PeekSplitAt(std::string_view input, std::string_view delimiter);

// --- Integers ---------------------------------------------------------------------
// Whole-text integer conversion: an optional sign then decimal digits, nothing
// else (no blanks). Values outside 32 bits fail.
std::optional<std::int32_t> TryStrToInt(std::string_view s);
std::optional<std::int64_t> TryStrToInt64(std::string_view s);
std::int32_t StrToIntDef(std::string_view s, std::int32_t fallback);
// Throws EConvertError "'<s>' n'est pas une valeur entière valide".
std::int32_t StrToInt(std::string_view s);
// Same rules, 64 bits.
std::string IntToStr(std::int64_t value);
// Value of a hexadecimal digit (either case), or -1.
int HexDigitValue(char c);
// The base64 alphabet (RFC 2045), shared by its encoder and its decoder.
inline constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Base64 of `bytes` on one line, "=" filled.
std::string EncodeBase64(std::string_view bytes);
// The byte two hexadecimal digits write ("e9" gives 0xE9); nothing otherwise.
std::optional<char> HexPairValue(char high, char low);
// Appends the two hexadecimal digits of `byte`, high nibble first, in
// capitals unless `lowerCase`.
void AppendHexByte(std::string& out, unsigned char byte, bool lowerCase = false);
