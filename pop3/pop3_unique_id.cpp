// Unique ids (UIDL, RFC 1939): what tells two messages with the same header
// and size apart, for a server that offers them.
#include "platform/text.h"
#include "pop3/pop3.h"

namespace {
// The id after the message number of "n id", blanks around it dropped; empty
// when the line has none.
std::string IdOf(const std::string& line) {
    const std::size_t blank = line.find(' ');
    return blank == std::string::npos ? std::string() : Trim(line.substr(blank + 1));
}
}  // namespace

std::string TIdPOP3::QueryUniqueId(int n) {
    if (SendCommand("UIDL " + IntToStr(n), -1) != ReplyOk) return "";
    const std::string line = LastReply.Text.Count() > 0 ? LastReply.Text[0] : "";
    if (line.empty()) return "";
    ExpectNumber(std::string_view(line).substr(0, line.find(' ')), n);
    return IdOf(line);
}

std::vector<std::string> TIdPOP3::ListUniqueIds(int count) {
    if (count <= 0) return {};
    WriteLine("UIDL");
    return ReadUniqueIds(count);
}

std::vector<std::string> TIdPOP3::ReadUniqueIds(int count) {
    std::vector<std::string> ids;
    if (ReadReply({}) != ReplyOk) return ids;
    ids.assign(static_cast<std::size_t>(count) + 1, std::string());
    std::vector<bool> seen(ids.size(), false);
    CaptureListing([&](std::string&& line) {
        const int n = StrToIntDef(line.substr(0, line.find(' ')), 0);
        if (n < 1 || n > count || seen[static_cast<std::size_t>(n)]) BadListing();
        seen[static_cast<std::size_t>(n)] = true;
        ids[static_cast<std::size_t>(n)] = IdOf(line);
    });
    return ids;
}
