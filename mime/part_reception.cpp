#include "mime/part_reception.h"

#include "message/message.h"
#include "message/message_part.h"
#include "mime/mime_errors.h"
#include "mime/text_lines_stream.h"
#include "platform/temp_file_stream.h"
#include "platform/text.h"

std::unique_ptr<TIdMessageDecoder> ProcessTextPart(TIdMessage& message,
                                                   std::unique_ptr<TIdMessageDecoder> decoder,
                                                   bool& endOfMessage) {
    TStringList lines;
    TextLinesStream content(lines);
    auto next = decoder->ReadPartBody(content, endOfMessage);
    content.Finish();
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
    attachment.FileName = decoder->FileName;
    attachment.StoredPathName = path;
    return next;
}
