#pragma once
// Encoded words in header values ("=?charset?letter?text?="), in any charset
// the platform's conversion knows, turned into UTF-8 text.
#include <string>
#include <string_view>

// `text` as UTF-8: 8-bit bytes are kept when the text is well-formed UTF-8,
// else read as Windows-1252. Then every complete encoded word in a known
// charset is replaced by its text (letter Q or q: quoted-printable style; any
// other letter: base64 style), converted from that charset; each run of bytes
// invalid in it becomes one U+FFFD. Words separated only by blanks
// join without them, and a character split between two such words in the
// same charset comes out whole. Incomplete words and words in an unknown
// charset stay as they are. Finally every NUL byte is removed.
// Throws EConvertError for a Q escape "=xy" whose x or y is not a
// hexadecimal digit, in a word of a known charset.
std::string DecodeHeaderWords(std::string_view text);

// ISO-2022-JP bytes (ESC $ B enters, ESC ( B leaves the two-byte mode) as
// Shift_JIS. A lone byte at the end in two-byte mode is dropped. Never throws.
std::string JisToShiftJis(std::string_view text);
