#include "mime/message_decoder_uue.h"

#include "mime/decoder_uue.h"
#include "mime/mime_errors.h"
#include "platform/text.h"

namespace {

// Whether `line` has the size of a data line of `n` bytes: the length
// character, four characters for every three bytes or part of them, and
// perhaps one checksum character or trailing blanks.
bool FitsLength(int n, const std::string& line) {
    if (n < 0) return false;
    std::size_t size = 1 + 4 * ((static_cast<std::size_t>(n) + 2) / 3);
    return line.size() == size || line.size() == size + 1 || TrimRight(line).size() == size;
}

// The length character's value in an alphabet, or -1 when it is not in it.
int LengthIn(std::string_view alphabet, char c) {
    std::size_t i = alphabet.find(c);
    return i == std::string_view::npos ? -1 : static_cast<int>(i);
}

// "M" and "h" open a full 45-byte line in UUE and XXE. A file shorter than
// that has a single, shorter line: the alphabet whose reading of the length
// character fits the line's own length decides, UUE first (a space counts
// as UUE's zero).
std::unique_ptr<TIdDecoder> DecoderForFirstLine(const std::string& line) {
    if (line[0] == 'M') return std::make_unique<TIdDecoderUUE>();
    if (line[0] == 'h') return std::make_unique<TIdDecoderXXE>();
    if (FitsLength(line[0] == ' ' ? 0 : LengthIn(decoder_alphabet::kUUE, line[0]), line))
        return std::make_unique<TIdDecoderUUE>();
    if (FitsLength(LengthIn(decoder_alphabet::kXXE, line[0]), line)) return std::make_unique<TIdDecoderXXE>();
    throw EIdUnknownUueScheme();
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
