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
        // Decoded text is UTF-8: a byte gives at most three (a Windows-1252
        // character, U+FFFD for a run of bad bytes, a CJK character from its
        // two).
        if (DecodeHeaderWords(input).size() > 3 * size) std::abort();
    } catch (const EConvertError&) {
    }
    if (JisToShiftJis(input).size() > size) std::abort();
    (void)EncodeHeader(input, size % 2 ? 'B' : 'Q', "ISO-8859-1");
    return 0;
}
