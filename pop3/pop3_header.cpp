// Header-only fetch: TOP n 0.
#include "message/message.h"
#include "platform/text.h"
#include "pop3/pop3.h"

bool TIdPOP3::LoadMessageHeader(int n, TIdMessage& message) {
    SendCommand("TOP " + IntToStr(n) + " 0", ReplyOk);
    ReadHeaderBlock(message, ".");
    return true;
}
