// Quoted-printable lines, each with the CR LF the MIME part reader appends.
#include "mime/decoder_quoted_printable.h"

#include "decoder_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::DecodeLines<TIdDecoderQuotedPrintable>(data, size, "\r\n");
}
