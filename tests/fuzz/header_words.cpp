// A header value in: decode its encoded words; also convert it from JIS and
// encode it for sending.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "message/header_coder.h"
#include "message/header_encoder.h"
#include "platform/id_exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    try {
        // Every decoded word is shorter than the word it replaces, in every
        // charset: no character takes less than one byte, and each "?" stands
        // for at least one.
        if (DecodeHeaderWords(input).size() > size) std::abort();
    } catch (const EConvertError&) {
    }
    if (JisToShiftJis(input).size() > size) std::abort();
    (void)EncodeHeader(input, size % 2 ? 'B' : 'Q', "ISO-8859-1");
    return 0;
}
