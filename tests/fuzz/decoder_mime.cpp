// Base64 lines, as the MIME part reader hands them over.
#include "decoder_fuzz.h"
#include "mime/decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::DecodeLines<TIdDecoderMIME>(data, size, "");
}
