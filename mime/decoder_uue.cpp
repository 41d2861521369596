#include "mime/decoder_uue.h"

#include <algorithm>

void TIdDecoderUUEBase::DecodeToStream(std::string_view text, std::ostream& stream) {
    if (text.empty()) return;
    unsigned n = ValueOf(Normalised(text[0]));
    text.remove_prefix(1);
    unsigned q = n / 3, r = n % 3;
    std::size_t size = r == 0 ? 4 * q : 4 * q + 4;
    // Missing characters read as the zero character; the group rule then
    // keeps exactly n bytes, whatever the line held.
    groups_.assign(size, zeroChar_);
    std::size_t present = std::min(size, text.size());
    for (std::size_t i = 0; i < present; ++i) groups_[i] = Normalised(text[i]);
    if (r == 1) groups_[size - 2] = PadChar();
    if (r != 0) groups_[size - 1] = PadChar();
    DecodeAndWrite(groups_, stream);
}

TIdDecoderUUE::TIdDecoderUUE() : TIdDecoderUUEBase(GDecodeTableUUE, '~', decoder_alphabet::kUUE[0], true) {}

TIdDecoderXXE::TIdDecoderXXE() : TIdDecoderUUEBase(GDecodeTableXXE, '~', decoder_alphabet::kXXE[0], false) {}
