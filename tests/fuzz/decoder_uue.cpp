// UUE lines of an inline attachment.
#include "mime/decoder_uue.h"

#include "decoder_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::DecodeLines<TIdDecoderUUE>(data, size, "");
}
