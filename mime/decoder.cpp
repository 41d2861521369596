#include "mime/decoder.h"

#include "mime/mime_errors.h"

namespace {

constexpr TDecodeTable TableOf(std::string_view alphabet) {
    TDecodeTable table{};
    TIdDecoder4to3::BuildDecodeTable(alphabet, table);
    return table;
}

}  // namespace

// Constant-initialised: ready before any other start-up code can create a decoder.
constinit const TDecodeTable GDecodeTableMIME = TableOf(decoder_alphabet::kMIME);
constinit const TDecodeTable GDecodeTableUUE = TableOf(decoder_alphabet::kUUE);
constinit const TDecodeTable GDecodeTableXXE = TableOf(decoder_alphabet::kXXE);

void TIdDecoder4to3::DecodeAndWrite(std::string_view text, std::ostream& stream) {
    buffer_.resize(text.size() / 4 * 3);
    char* dest = buffer_.data();
    for (std::size_t i = 0; i < text.size(); i += 4) {
        // Whole bytes are or-ed: a 255 overlaps its neighbours on purpose.
        std::uint32_t v = (std::uint32_t{ValueOf(text[i])} << 18) |
                          (std::uint32_t{ValueOf(text[i + 1])} << 12) |
                          (std::uint32_t{ValueOf(text[i + 2])} << 6) | ValueOf(text[i + 3]);
        dest[0] = static_cast<char>(v >> 16);
        dest[1] = static_cast<char>(v >> 8);
        dest[2] = static_cast<char>(v);
        dest += text[i + 2] == padChar_ ? 1 : text[i + 3] == padChar_ ? 2 : 3;
    }
    std::size_t kept = static_cast<std::size_t>(dest - buffer_.data());
    if (kept != 0) stream.write(buffer_.data(), static_cast<std::streamsize>(kept));
}

void TIdDecoder4to3::DecodeToStream(std::string_view text, std::ostream& stream) {
    if (text.size() % 4 != 0) throw EIdIrregularSize();
    DecodeAndWrite(text, stream);
}

TIdDecoderMIME::TIdDecoderMIME() : TIdDecoder4to3(GDecodeTableMIME, '=') {}
