// The OAuth2 log-in: SASL AUTH (RFC 5034) with the XOAUTH2 or OAUTHBEARER
// mechanism (RFC 7628), the access token sent as a bearer token.
#include "platform/text.h"
#include "pop3/pop3.h"

namespace {

// RFC 5034: a command line, CR LF included, holds at most 255 octets; a
// longer initial response waits for the server's empty challenge.
constexpr std::size_t kLongestCommandLine = 255;

std::string InitialResponse(const std::string& user, const std::string& token, bool bearer) {
    const std::string auth = "auth=Bearer " + token + "\x01\x01";
    if (bearer) return "n,a=" + user + ",\x01" + auth;
    return "user=" + user + "\x01" + auth;
}

// "+ text" or "+": the server wants more (a challenge), not "+OK".
bool IsChallenge(const std::vector<std::string>& lines) {
    if (lines.empty()) return false;
    const std::string& line = lines.front();
    return line == "+" || line.rfind("+ ", 0) == 0;
}

}  // namespace

void TIdPOP3::LogInWithToken() {
    const std::string command = std::string("AUTH ") + (OAuthBearer ? "OAUTHBEARER" : "XOAUTH2");
    const std::string response = EncodeBase64(InitialResponse(Username, AccessToken, OAuthBearer));
    const bool inLine = command.size() + 1 + response.size() + 2 <= kLongestCommandLine;
    // The token never shows in a trace: the lines that carry it go out unreported.
    auto sendSecret = [&](const std::string& line, const std::string& shown) {
        if (OnCommand) OnCommand(shown);
        TIdTCPConnection::WriteText(line + "\r\n");
    };
    if (inLine)
        sendSecret(command + " " + response, command + " ****");
    else
        WriteLine(command);
    std::vector<std::string> lines = ReadReplyLines();
    if (!inLine && IsChallenge(lines)) {
        sendSecret(response, "****");
        lines = ReadReplyLines();
    }
    // A refused token is a challenge carrying the error (RFC 7628, 3.2.2):
    // the client ends the exchange, and the server then says "-ERR".
    if (IsChallenge(lines)) {
        WriteLine(OAuthBearer ? "AQ==" : "");
        lines = ReadReplyLines();
    }
    TakeReply(lines, {ReplyOk});
}
