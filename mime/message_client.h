#pragma once
// The connection that receives messages: reads a message's header block (and,
// for a whole message, its body) from the server's reply lines into a
// TIdMessage. The POP3 client derives from it.
#include <string>

#include "mime/text_budget.h"
#include "net/tcp_client.h"

class TIdMessage;

class TIdMessageClient : public TIdTCPClient {
public:
    // Reads the rest of a RETR reply up to the `delimiter` line: plain lines
    // (dot-unstuffed) to message.Body; MIME parts and inline UUE/XXE
    // attachments decoded into message.Parts, text parts as lines, attachments
    // into temporary files. With message.NoDecode every line goes to Body.
    // Throws EIdUnknownPartType "Type de partie de message inconnu." for a part
    // header cut off by ".", EIdUnknownUueScheme "Schéma d'encodage UUE non reconnu." for an
    // inline attachment neither UUE nor XXE, the transfer decoders' errors and
    // the line input errors; what was read so far stays in the message.
    // The text kept (Body and text parts together) is bounded by
    // MaxTextBytes and MaxTextLines: past them the rest is read and dropped,
    // and the last text kept ends with the line kTruncatedNote.
    virtual void ReadMessageBody(TIdMessage& message, const std::string& delimiter);
    std::size_t MaxTextBytes = TextBudget::kMaxBytes;
    std::size_t MaxTextLines = TextBudget::kMaxLines;
    // Appends header lines, as they arrive, to message.HeaderLines up to the
    // line "." (when `alternateTerminator` is empty) or the line equal to
    // `alternateTerminator` (so "" stops at the blank line ending a header);
    // with a non-empty terminator blank lines are skipped. Lines are stored
    // unchanged (folded lines apart, no dot-unstuffing), then the message
    // parses them. Returns the line that ended the block. Throws the line
    // input errors (the lines read so far stay), EIdHeaderTooLarge past the
    // bounds of HeaderBlockLimit, and the parse errors. With
    // message.ReadPastHeaderFaults a line too long is dropped with its
    // continuation lines (kHeaderLineSkipped in HeaderFault) and the block
    // read on.
    virtual std::string ReadHeaderBlock(TIdMessage& message, const std::string& alternateTerminator);
    // The same without the parse: the lines only, and no parse error.
    std::string ReadHeaderLines(TIdMessage& message, const std::string& alternateTerminator);
};
