#pragma once
// Quoted-printable: one line per call, normally with its CR LF. Trailing
// spaces and tabs before the line break are dropped; "=XX" gives the byte of
// that hexadecimal value (one digit alone gives its value); "=" before the
// line break is a soft break that joins the line to the next; "=" before
// anything else is dropped. Malformed escapes are never errors; never throws.
#include "mime/decoder.h"

class TIdDecoderQuotedPrintable : public TIdDecoder {
public:
    void DecodeToStream(std::string_view text, std::ostream& stream) override;

private:
    // Reused between calls so that a line costs no allocation.
    std::string line_;
    std::string buffer_;
};
