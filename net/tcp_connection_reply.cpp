// Reading and checking server replies on the connection.
#include "net/net_errors.h"
#include "net/tcp_connection.h"
#include "platform/text.h"

namespace {
constexpr int kUnlimitedAttempts = 2147483647;
}

std::vector<std::string> TIdTCPConnection::ReadReplyLines() {
    std::vector<std::string> lines{ReadNonEmptyLine(kUnlimitedAttempts)};
    const std::string& first = lines.front();
    if (first.size() > 3 && first[3] == '-') {
        // A numbered multi-line reply ends on "xyz " (same digits, any case).
        std::string prefix = first.substr(0, 3) + " ";
        for (;;) {
            lines.push_back(ReadNonEmptyLine(kUnlimitedAttempts));
            const std::string& line = lines.back();
            if (line.size() < 4 || SameText(line.substr(0, 4), prefix)) break;
        }
    }
    return lines;
}

int TIdTCPConnection::CheckReplyCode(const std::vector<int>& allowed) {
    int code = LastReply.NumericCode();
    if (allowed.empty()) return code;
    for (int a : allowed) {
        if (a == code) return code;
    }
    throw EIdProtocolReplyError(code, LastReply.ShownText());
}

int TIdTCPConnection::ReadReply(const std::vector<int>& allowed) {
    LastReply.ParseLines(ReadReplyLines());
    return CheckReplyCode(allowed);
}

int TIdTCPConnection::SendCommand(std::string_view line, int expected) {
    WriteLine(line);
    return ReadReply(expected == -1 ? std::vector<int>{} : std::vector<int>{expected});
}
