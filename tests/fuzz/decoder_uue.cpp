// UUE lines of an inline attachment.
#include "decoder_fuzz.h"
#include "mime/decoder_uue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::DecodeLines<TIdDecoderUUE>(data, size, "");
}
