#include "mime/message_decoder_uue.h"

#include "mime/decoder_uue.h"
#include "mime/mime_errors.h"
#include "platform/text.h"

namespace {

std::unique_ptr<TIdDecoder> DecoderForFirstLine(const std::string& line) {
    if (line[0] == 'M') return std::make_unique<TIdDecoderUUE>();
    if (line[0] == 'h') return std::make_unique<TIdDecoderXXE>();
    throw EIdException(Ansi(mime_text::kUnknownUueScheme));
}

}  // namespace

std::unique_ptr<TIdMessageDecoder> TIdMessageDecoderUUE::ReadPartBody(std::ostream& destination,
                                                                      bool& endOfMessage) {
    endOfMessage = false;
    std::unique_ptr<TIdDecoder> decoder;
    std::string line = ReadSourceLine();
    for (;;) {
        // An attachment cut short ends with the message instead of waiting
        // for lines that never come.
        if (line == ".") {
            endOfMessage = true;
            return nullptr;
        }
        UnstuffDots(line);
        // Empty lines before the first data line are skipped: that line
        // chooses the decoder.
        if (!decoder && !line.empty()) decoder = DecoderForFirstLine(line);
        if (decoder && !Trim(line).empty() && line != "~") decoder->DecodeToStream(line, destination);
        line = ReadSourceLine();
        if (EqualsIgnoringCase(Trim(line), "end")) return nullptr;
    }
}
