#pragma once
// Large messages written line by line to a stream, for benchmarks and memory
// checks: never held in memory whole. LF line ends, as stored in a mailbox.
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

// Standard base64 of `bytes`, "=" filled, on one line.
std::string Base64Encode(std::string_view bytes);

// multipart/mixed: a short quoted-printable text part, then an attachment
// "donnees.bin" of `attachmentBytes` pseudo-random bytes in 76-character
// base64 lines.
void WriteAttachmentMessage(std::ostream& out, std::size_t attachmentBytes);

// A single-part text/plain quoted-printable message of about `textBytes`
// encoded bytes: French text with escaped accents and soft line breaks.
void WriteQuotedPrintableMessage(std::ostream& out, std::size_t textBytes);
