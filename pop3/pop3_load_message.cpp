// Whole-message retrieval: RETR n, the header through the header reception,
// then the body up to the "." line.
#include "message/message.h"
#include "platform/text.h"
#include "pop3/pop3.h"

bool TIdPOP3::LoadMessage(int messageNumber, TIdMessage& message) {
    if (SendCommand("RETR " + IntToStr(messageNumber), -1) == ReplyOk) {
        // A header ended by the "." line has no body to read.
        if (ReadHeaderBlock(message, "").empty()) ReadMessageBody(message, ".");
    }
    return LastReply.NumericCode() == ReplyOk;
}
