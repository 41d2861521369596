#pragma once
// Transfer decoders: each turns the encoded text of one message part, fed one
// line per call, into the bytes it stands for. An instance serves one part.
//
// The 4-to-3 family (base64, UUE, XXE) looks characters up in a 127-entry
// table by code; codes 0 and 128..255 have no entry and count as outside the
// alphabet (value 255). Outside characters are not errors: their value bleeds
// into the neighbouring bits, as the decoding rule says.
#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/component.h"
#include "platform/text.h"

// Entry k-1 holds the 6-bit value of the character of code k (1..127), or 255.
using TDecodeTable = std::array<std::uint8_t, 127>;

class TIdDecoder : public TIdBaseComponent {
public:
    // Decodes `text` and appends the bytes to `stream` in one write (none when
    // there are no bytes). Throws only as the derived class says.
    virtual void DecodeToStream(std::string_view text, std::ostream& stream) = 0;
};

class TIdDecoder4to3 : public TIdDecoder {
public:
    // Sets every entry to 255, then entry of the i-th character (1-based) to i - 1.
    static constexpr void BuildDecodeTable(std::string_view alphabet, TDecodeTable& table) {
        table.fill(255);
        for (std::size_t i = 0; i < alphabet.size(); ++i) {
            auto code = static_cast<unsigned char>(alphabet[i]);
            if (code >= 1 && code <= 127) table[code - 1] = static_cast<std::uint8_t>(i);
        }
    }

    // Groups of four characters, three bytes each; a `PadChar` third or fourth
    // character keeps only one or two bytes of that group (tested in every group).
    // Throws EIdException "Taille irrégulière dans DecodeToStream." when the length
    // is not a multiple of 4, before anything is written.
    void DecodeToStream(std::string_view text, std::ostream& stream) override;

    char PadChar() const { return padChar_; }
    // Value of the character of code `c`: 255 outside the alphabet, including
    // codes 0 and 128..255, which have no table entry.
    std::uint8_t ValueOf(char c) const {
        unsigned k = static_cast<unsigned char>(c) - 1u;
        return k < decodeTable_.size() ? decodeTable_[k] : 255;
    }

protected:
    TIdDecoder4to3(const TDecodeTable& table, char padChar) : decodeTable_(table), padChar_(padChar) {}
    // The group rule over `text`, whose length must be a multiple of 4, then
    // one write of the kept bytes.
    void DecodeAndWrite(std::string_view text, std::ostream& stream);

private:
    // Reused between calls so that a line costs no allocation.
    std::string buffer_;
    TDecodeTable decodeTable_;
    char padChar_;
};

// Base64 (alphabet of RFC 2045, fill character "=").
class TIdDecoderMIME : public TIdDecoder4to3 {
public:
    TIdDecoderMIME();
};

// The process-wide tables, built once before any reception.
extern const TDecodeTable GDecodeTableMIME;
extern const TDecodeTable GDecodeTableUUE;
extern const TDecodeTable GDecodeTableXXE;

namespace decoder_alphabet {
inline constexpr std::string_view kMIME = kBase64Alphabet;
// Grave accent for 0, then codes 33..95 for 1..63.
inline constexpr std::string_view kUUE = "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
inline constexpr std::string_view kXXE = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
}  // namespace decoder_alphabet
