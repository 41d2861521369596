#include "mime/message_client.h"

#include "message/message.h"
#include "message/message_part.h"
#include "mime/header_block_limit.h"
#include "mime/message_decoder_list.h"
#include "mime/mime_errors.h"
#include "mime/part_reception.h"
#include "net/net_errors.h"
#include "platform/text.h"

std::string TIdMessageClient::ReadHeaderBlock(TIdMessage& message, const std::string& alternateTerminator) {
    std::string line = ReadHeaderLines(message, alternateTerminator);
    message.ParseHeaderLines();
    return line;
}

std::string TIdMessageClient::ReadHeaderLines(TIdMessage& message, const std::string& alternateTerminator) {
    TIdWorkScope work(*this, wmRead);
    HeaderBlockLimit limit;
    std::string line;
    bool dropping = false;  // the continuation lines of a field not kept
    for (;;) {
        try {
            line = ReadLine();
        } catch (const EIdReadLnMaxLineLengthExceeded&) {
            // One message's endless field costs it that field, not the
            // action its end; the line is never held whole.
            if (!message.ReadPastHeaderFaults) throw;
            limit.CountSkipped(SkipLine(limit.BytesLeft()));
            if (message.HeaderFault.empty()) message.HeaderFault = mime_text::kHeaderLineSkipped;
            dropping = true;
            continue;
        }
        if (alternateTerminator.empty() && line == ".") break;
        if (line == alternateTerminator) break;
        limit.Count(line);
        if (line.empty()) continue;  // only with a terminator such as "."
        dropping = dropping && (line[0] == ' ' || line[0] == '\t');
        if (!dropping) message.HeaderLines.Add(line);
    }
    return line;
}

// The rest of a RETR reply after the header, up to the delimiter line.
namespace {

// The note ends the text the reader sees last: the last text part's, else the body's.
void AddTruncatedNote(TIdMessage& message) {
    TStringList* last = &message.Body;
    for (int i = message.Parts.Count() - 1; i >= 0; --i) {
        if (auto* text = dynamic_cast<TIdText*>(&message.Parts[i])) {
            last = &text->Body;
            break;
        }
    }
    last->Add(std::string(mime_text::kTruncatedNote));
}

}  // namespace

void TIdMessageClient::ReadMessageBody(TIdMessage& message, const std::string& delimiter) {
    TextBudget budget(MaxTextBytes, MaxTextLines);
    if (message.NoDecode) {
        CaptureLines(
            [&](std::string&& line) {
                if (budget.Take(line.size())) message.Body.Add(std::move(line));
            },
            delimiter, true);
        if (budget.Cut()) AddTruncatedNote(message);
        return;
    }
    TIdWorkScope work(*this, wmRead);
    // Text outside parts is in the message's own charset; lines of UTF-16
    // and the like cannot be told apart here: their bytes are only made
    // well-formed.
    std::optional<Charset> charset = Charset::ForText(message.CharSet);
    if (!charset->HasByteLines()) charset.reset();
    bool endOfMessage = false;
    while (!endOfMessage) {
        std::string line = ReadLine();
        if (line == delimiter) break;
        std::unique_ptr<TIdMessageDecoder> decoder = TIdMessageDecoderList::FindDecoder(message, line);
        if (!decoder) {
            UnstuffDots(line);
            if (budget.Take(line.size())) message.Body.Add(charset ? charset->ToUtf8(line) : ValidUtf8(line));
            continue;
        }
        // The decoder chain reads the connection itself until it ends.
        while (decoder) {
            decoder->SourceStream = std::make_unique<TIdTCPStream>(*this);
            decoder->ReadPartHeader();
            switch (decoder->PartType) {
                case PartText:
                    decoder = ProcessTextPart(message, std::move(decoder), endOfMessage, &budget);
                    break;
                case PartAttachment:
                    decoder = ProcessAttachment(message, std::move(decoder), endOfMessage);
                    break;
                default:
                    throw EIdUnknownPartType();
            }
        }
    }
    if (budget.Cut()) AddTruncatedNote(message);
}
