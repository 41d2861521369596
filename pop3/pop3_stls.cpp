// STLS (RFC 2595): TLS started on a plain POP3 connection.
#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "pop3/stls_errors.h"

void TIdPOP3::NegotiateStls() {
    const TIdRFCReply greeting = LastReply;
    Capabilities();
    if (!HasCapability("STLS")) throw EIdPOP3StlsNotOffered();
    if (SendCommand("STLS", -1) != ReplyOk)
        throw EIdPOP3StlsRefused(std::string("Le serveur a refusé STLS : ") + Trim(LastReply.ShownText()));
    StartTLS();
    // What was learnt before the link was private is not trusted; whoever
    // needs the list (the scan, after the log-in) asks again.
    capabilities_.clear();
    capabilitiesKnown_ = false;
    LastReply = greeting;
}
