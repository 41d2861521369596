#include "mime/message_decoder_mime.h"

#include "message/header_coder.h"
#include "message/header_parameter.h"
#include "message/message.h"
#include "mime/decoder.h"
#include "mime/decoder_quoted_printable.h"
#include "mime/header_block_limit.h"
#include "platform/text.h"

bool IsWholeBodyEncoding(std::string_view transferEncoding) {
    return EqualsIgnoringCase(transferEncoding, "base64") ||
           EqualsIgnoringCase(transferEncoding, "quoted-printable");
}

TIdMessageDecoderMIME::TIdMessageDecoderMIME(TIdMessage& message, std::optional<std::string> pendingLine)
    : TIdMessageDecoder(message),
      PendingLine(std::move(pendingLine)),
      // Only base64 and quoted-printable cover the whole body: a multipart
      // message marked 8bit or 7BIT still has a header in every part.
      WholeBodyMode(IsWholeBodyEncoding(message.ContentTransferEncoding)),
      PartBoundary(message.BoundaryStack.CurrentBoundary()) {}

void TIdMessageDecoderMIME::ReadPartHeader() {
    if (WholeBodyMode) {
        ClassifyPart(Message.ContentType, Message.ContentDisposition);
        return;
    }
    HeaderBlockLimit limit;
    for (;;) {
        const std::string line = ReadSourceLine();
        if (line == ".") {
            PartType = PartUnknown;
            return;
        }
        if (line.empty()) break;
        limit.Count(line);
        AddHeaderLine(line);
    }
    const std::string boundary = TIdMIMEBoundary::BoundaryFromContentType(PartHeaderValue("Content-Type"));
    // Past the deepest nesting kept, the part goes on with its parent's boundary.
    if (!boundary.empty() && Message.BoundaryStack.PushBoundary(boundary)) PartBoundary = boundary;
    ClassifyPart(PartHeaderValue("Content-Type"), PartHeaderValue("Content-Disposition"));
}

void TIdMessageDecoderMIME::AddHeaderLine(const std::string& line) {
    const bool continuation = line[0] == '\t' || line[0] == ' ';
    std::string text = continuation ? line.substr(1) : line;
    if (continuation && PartHeaders.Count() > 0) {
        const int last = PartHeaders.Count() - 1;
        PartHeaders.Put(last, PartHeaders[last] + " " + text);
        return;
    }
    const std::size_t colon = text.find(": ");
    if (colon != std::string::npos) text = text.substr(0, colon) + "=" + text.substr(colon + 2);
    PartHeaders.Add(std::move(text));
}

void TIdMessageDecoderMIME::ClassifyPart(std::string_view contentType, std::string_view contentDisposition) {
    const std::string type = UpperCase(contentType);
    const std::string disposition(contentDisposition);
    const std::string kind = disposition.substr(0, disposition.find(';'));
    if (!EqualsIgnoringCase(kind, "attachment") && Pos("NAME", type) == 0) {
        PartType = PartText;
        return;
    }
    PartType = PartAttachment;
    // The extended form carries its own charset and is converted already.
    if (auto extended = ExtendedParameter(disposition, "filename")) {
        FileName = std::move(*extended);
        return;
    }
    std::string name;
    if (const std::size_t p = Pos("FILENAME", UpperCase(disposition)); p != 0)
        name = Copy(disposition, p + 9);
    if (name.empty()) {
        if (auto extended = ExtendedParameter(contentType, "name")) {
            FileName = std::move(*extended);
            return;
        }
        if (const std::size_t p = Pos("NAME", type); p != 0) name = Copy(contentType, p + 5);
    }
    if (name.empty()) return;
    if (name[0] == '"') {
        name.erase(0, 1);
        name = name.substr(0, name.find('"'));
    }
    FileName = DecodeHeaderWords(name);
}

std::string TIdMessageDecoderMIME::NextLine() {
    if (!PendingLine) return ReadSourceLine();
    std::string line = std::move(*PendingLine);
    PendingLine.reset();
    return line;
}

std::unique_ptr<TIdMessageDecoder> TIdMessageDecoderMIME::ReadPartBody(std::ostream& destination,
                                                                       bool& endOfMessage) {
    endOfMessage = false;
    const std::string encoding =
        WholeBodyMode ? Message.ContentTransferEncoding : PartHeaderValue("Content-Transfer-Encoding");
    std::unique_ptr<TIdDecoder> decoder;
    const bool base64 = EqualsIgnoringCase(encoding, "base64");
    if (base64) decoder = std::make_unique<TIdDecoderMIME>();
    if (EqualsIgnoringCase(encoding, "quoted-printable"))
        decoder = std::make_unique<TIdDecoderQuotedPrintable>();
    const std::string next = "--" + PartBoundary;
    const std::string closing = next + "--";
    for (;;) {
        std::string line = NextLine();
        if (line == ".") {
            endOfMessage = true;
            return nullptr;
        }
        // Without a boundary there is nothing to meet: lines of hyphens are text.
        if (!PartBoundary.empty() && EqualsIgnoringCase(line, next))
            return std::make_unique<TIdMessageDecoderMIME>(Message);
        if (!PartBoundary.empty() && EqualsIgnoringCase(line, closing)) {
            Message.BoundaryStack.PopBoundary();
            return nullptr;
        }
        if (!decoder) {
            if (!line.empty() && line[0] == '.') line.erase(0, 1);
            line += "\r\n";
            destination.write(line.data(), static_cast<std::streamsize>(line.size()));
            continue;
        }
        // The server stuffed a "." before any line that begins with one.
        UnstuffDots(line);
        if (!base64) {
            line += "\r\n";
            decoder->DecodeToStream(line, destination);
        } else if (!line.empty() && !PartUnreadable) {
            const std::size_t whole = line.size() / 4 * 4;
            decoder->DecodeToStream(std::string_view(line).substr(0, whole), destination);
            PartUnreadable = whole != line.size();
        }
    }
}
