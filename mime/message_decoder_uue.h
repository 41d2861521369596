#pragma once
// Reader of an inline attachment inside a plain body: the lines after a
// "begin" line, in UUE or XXE, up to the "end" line. The first data line
// tells the two apart: "M" and "h" are the length characters of a full line
// in the two alphabets; a shorter first line (a file under 45 bytes) goes to
// the alphabet whose reading of its length character fits its own length.
#include "mime/message_decoder.h"

class TIdMessageDecoderUUE : public TIdMessageDecoder {
public:
    using TIdMessageDecoder::TIdMessageDecoder;

    // Decodes the data lines onto `destination` up to the "end" line
    // (consumed, any case, blanks around it ignored). Empty lines before the
    // first data line are skipped. The message's "." line also ends the
    // attachment and sets `endOfMessage`. Returns none. Throws EIdException
    // "Schéma d'encodage UUE non reconnu." when the first data line fits
    // neither alphabet, and what the transfer decoder and
    // ReadSourceLine throw.
    std::unique_ptr<TIdMessageDecoder> ReadPartBody(std::ostream& destination, bool& endOfMessage) override;
};
