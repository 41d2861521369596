#include "mime/part_reception.h"

#include <algorithm>
#include <fstream>
#include <streambuf>

#include "message/message.h"
#include "message/message_part.h"
#include "mime/attached_message_text.h"
#include "mime/mime_errors.h"
#include "mime/text_lines_stream.h"
#include "platform/temp_file_stream.h"
#include "platform/text.h"

namespace {

// Bytes kept up to a bound, the rest counted as dropped.
class BoundedBytes : public std::streambuf {
public:
    explicit BoundedBytes(std::size_t limit) : limit_(limit) {}
    std::string& Bytes() { return bytes_; }
    bool Dropped() const { return dropped_; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        xsputn(&byte, 1);
        return c;
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        const std::size_t n = static_cast<std::size_t>(count);
        const std::size_t kept = std::min(n, limit_ - bytes_.size());
        bytes_.append(bytes, kept);
        dropped_ = dropped_ || kept < n;
        return count;
    }

private:
    std::size_t limit_;
    std::string bytes_;
    bool dropped_ = false;
};

}  // namespace

std::unique_ptr<TIdMessageDecoder> ProcessTextPart(TIdMessage& message,
                                                   std::unique_ptr<TIdMessageDecoder> decoder,
                                                   bool& endOfMessage, TextBudget* budget) {
    std::string charsetName = TIdMessage::CharsetFromContentType(decoder->PartHeaderValue("Content-Type"));
    if (charsetName.empty()) charsetName = message.CharSet;
    const Charset charset = Charset::ForText(charsetName);
    TStringList lines;
    std::unique_ptr<TIdMessageDecoder> next;
    if (!charset.HasByteLines()) {
        // UTF-16 and the like: line ends and zero bytes are known only after
        // conversion. Two bytes at least make one character of the text.
        constexpr std::size_t kUnbounded = static_cast<std::size_t>(-1) / 2;
        BoundedBytes bytes(budget ? budget->BytesLeft() * 2 : kUnbounded);
        std::ostream raw(&bytes);
        next = decoder->ReadPartBody(raw, endOfMessage);
        TextLinesStream content(lines, std::nullopt, budget);
        content << charset.ToUtf8(bytes.Bytes());
        content.Finish();
        if (bytes.Dropped() && budget) budget->MarkCut();
    } else if (IsAttachedMessage(decoder->PartHeaderValue("Content-Type"))) {
        // Its parts have their own charsets, whatever the outer message says.
        AttachedMessageText attached;
        TextLinesStream content(
            lines, [&attached](std::string_view line) { return attached.Convert(line); }, budget);
        next = decoder->ReadPartBody(content, endOfMessage);
        content.Finish();
    } else {
        TextLinesStream content(lines, charset, budget);
        next = decoder->ReadPartBody(content, endOfMessage);
        content.Finish();
    }
    TIdText& text = message.Parts.AddText();
    text.SetContentType(decoder->PartHeaderValue("Content-Type"));
    text.SetContentTransfer(decoder->PartHeaderValue("Content-Transfer-Encoding"));
    text.Body = std::move(lines);
    text.Unreadable = decoder->PartUnreadable;
    return next;
}

std::unique_ptr<TIdMessageDecoder> ProcessAttachment(TIdMessage& message,
                                                     std::unique_ptr<TIdMessageDecoder> decoder,
                                                     bool& endOfMessage) {
    TempFileStream file;
    const std::string path = file.Path();
    auto next = decoder->ReadPartBody(file, endOfMessage);
    // A full disk must not pass for a complete attachment.
    if (!file.Finish())
        throw EIdAttachmentWriteError(std::string(mime_text::kCannotWriteAttachment) + path + ".");
    TIdAttachment& attachment = message.Parts.AddAttachment();
    attachment.SetContentType(decoder->PartHeaderValue("Content-Type"));
    attachment.SetContentTransfer(decoder->PartHeaderValue("Content-Transfer-Encoding"));
    attachment.SetContentDisposition(decoder->PartHeaderValue("Content-Disposition"));
    attachment.FileName = TIdAttachment::SafeFileName(decoder->FileName);
    attachment.StoredPathName = path;
    attachment.Unreadable = decoder->PartUnreadable;
    return next;
}
