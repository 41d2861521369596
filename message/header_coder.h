#pragma once
// Encoded words in header values ("=?charset?letter?text?="). Only words whose
// charset begins with ISO or WINDOWS are decoded; their bytes are taken as
// they are, except ISO-2022-JP, which is turned into Shift_JIS.
#include <string>
#include <string_view>

// `text` with every complete ISO.../WINDOWS... encoded word replaced by its
// bytes (letter Q or q: quoted-printable style; any other letter: base64
// style), then every NUL byte removed. Incomplete words stay as they are.
// Throws EConvertError for a Q escape "=xy" whose x or y is not a
// hexadecimal digit.
std::string DecodeHeaderWords(std::string_view text);

// ISO-2022-JP bytes (ESC $ B enters, ESC ( B leaves the two-byte mode) as
// Shift_JIS. A lone byte at the end in two-byte mode is dropped. Never throws.
std::string JisToShiftJis(std::string_view text);
