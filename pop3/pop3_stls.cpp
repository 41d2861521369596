// STLS (RFC 2595): TLS started on a plain POP3 connection.
#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "pop3/stls_errors.h"

std::vector<std::string> TIdPOP3::StlsCapabilities() {
    std::vector<std::string> lines;
    if (SendCommand("CAPA", -1) != ReplyOk) return lines;
    CaptureLines([&](std::string&& line) { lines.push_back(std::move(line)); });
    return lines;
}

void TIdPOP3::NegotiateStls() {
    const TIdRFCReply greeting = LastReply;
    bool offered = false;
    for (const std::string& line : StlsCapabilities()) {
        std::string keyword = Trim(line);
        keyword = keyword.substr(0, keyword.find(' '));
        offered = offered || AnsiSameText(keyword, "STLS");
    }
    if (!offered) throw EIdPOP3StlsNotOffered();
    if (SendCommand("STLS", -1) != ReplyOk)
        throw EIdPOP3StlsRefused(Ansi("Le serveur a refusé STLS : ") + Trim(LastReply.ReplyText()));
    StartTLS();
    StlsCapabilities();
    LastReply = greeting;
}
