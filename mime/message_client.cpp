#include "mime/message_client.h"

#include "message/message.h"
#include "mime/header_block_limit.h"

std::string TIdMessageClient::ReadHeaderBlock(TIdMessage& message, const std::string& alternateTerminator) {
    TIdWorkScope work(*this, wmRead);
    HeaderBlockLimit limit;
    std::string line;
    for (;;) {
        line = ReadLine();
        if (alternateTerminator.empty() && line == ".") break;
        if (line == alternateTerminator) break;
        limit.Count(line);
        if (line.empty()) continue;  // only with a terminator such as "."
        message.HeaderLines.Add(line);
    }
    message.ParseHeaderLines();
    return line;
}
