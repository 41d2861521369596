#include "mime/part_reception.h"

#include <fstream>
#include <sstream>

#include "message/message.h"
#include "message/message_part.h"
#include "mime/mime_errors.h"
#include "mime/text_lines_stream.h"
#include "platform/temp_file_stream.h"
#include "platform/text.h"

std::optional<Charset> TextConversion(std::string_view charsetName) {
    std::optional<Charset> charset = Charset::Find(charsetName);
    if (charset && charset->IsAnsi()) return std::nullopt;
    return charset;
}

std::unique_ptr<TIdMessageDecoder> ProcessTextPart(TIdMessage& message,
                                                   std::unique_ptr<TIdMessageDecoder> decoder,
                                                   bool& endOfMessage) {
    std::string charsetName = TIdMessage::CharsetFromContentType(decoder->PartHeaderValue("Content-Type"));
    if (charsetName.empty()) charsetName = message.CharSet;
    const std::optional<Charset> charset = TextConversion(charsetName);
    TStringList lines;
    std::unique_ptr<TIdMessageDecoder> next;
    if (charset && !charset->HasByteLines()) {
        // UTF-16 and the like: line ends and zero bytes are known only after conversion.
        std::ostringstream bytes;
        next = decoder->ReadPartBody(bytes, endOfMessage);
        TextLinesStream content(lines);
        content << charset->ToAnsi(bytes.str());
        content.Finish();
    } else {
        TextLinesStream content(lines, charset);
        next = decoder->ReadPartBody(content, endOfMessage);
        content.Finish();
    }
    TIdText& text = message.Parts.AddText();
    text.SetContentType(decoder->PartHeaderValue("Content-Type"));
    text.SetContentTransfer(decoder->PartHeaderValue("Content-Transfer-Encoding"));
    text.Body = std::move(lines);
    return next;
}

std::unique_ptr<TIdMessageDecoder> ProcessAttachment(TIdMessage& message,
                                                     std::unique_ptr<TIdMessageDecoder> decoder,
                                                     bool& endOfMessage) {
    TempFileStream file;
    const std::string path = file.Path();
    auto next = decoder->ReadPartBody(file, endOfMessage);
    // A full disk must not pass for a complete attachment.
    if (!file.Finish()) throw EIdAttachmentWriteError(Ansi(mime_text::kCannotWriteAttachment) + path + ".");
    TIdAttachment& attachment = message.Parts.AddAttachment();
    attachment.SetContentType(decoder->PartHeaderValue("Content-Type"));
    attachment.SetContentTransfer(decoder->PartHeaderValue("Content-Transfer-Encoding"));
    attachment.SetContentDisposition(decoder->PartHeaderValue("Content-Disposition"));
    attachment.FileName = TIdAttachment::SafeFileName(decoder->FileName);
    attachment.StoredPathName = path;
    return next;
}
