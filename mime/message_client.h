#pragma once
// The connection that receives messages: reads a message's header block (and,
// for a whole message, its body) from the server's reply lines into a
// TIdMessage. The POP3 client derives from it.
#include <string>

#include "net/tcp_client.h"

class TIdMessage;

class TIdMessageClient : public TIdTCPClient {
public:
    // Send side settings: line length 79, fold text one TAB.
    int MsgLineLength = 79;
    std::string MsgLineFold = "\t";

    // Appends header lines, as they arrive, to message.HeaderLines up to the
    // line "." (when `alternateTerminator` is empty) or the line equal to
    // `alternateTerminator` (so "" stops at the blank line ending a header);
    // with a non-empty terminator blank lines are skipped. Lines are stored
    // unchanged (folded lines apart, no dot-unstuffing), then the message
    // parses them. Returns the line that ended the block. Throws the line
    // input errors (the lines read so far stay) and the parse errors.
    std::string ReadHeaderBlock(TIdMessage& message, const std::string& alternateTerminator);
};
