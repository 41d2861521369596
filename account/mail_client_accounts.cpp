#include "account/mail_client_accounts.h"

#include <map>

#include "platform/text.h"
#include "platform/text_lines.h"

namespace {

std::string_view Stripped(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// A JavaScript string literal at the start of `text`, in UTF-8; `text` keeps
// what follows it. Empty optional when `text` does not start with one.
std::optional<std::string> JsString(std::string_view& text) {
    text = Stripped(text);
    if (text.empty() || (text.front() != '"' && text.front() != '\'')) return std::nullopt;
    const char quote = text.front();
    std::string out;
    std::size_t i = 1;
    for (; i < text.size() && text[i] != quote; ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char e = text[++i];
        if (e == 'u' && i + 4 < text.size()) {
            char32_t unit = 0;
            bool ok = true;
            for (int d = 1; d <= 4; ++d) ok = ok && HexDigitValue(text[i + d]) >= 0;
            if (ok) {
                for (int d = 1; d <= 4; ++d)
                    unit = unit * 16 + static_cast<char32_t>(HexDigitValue(text[i + d]));
                AppendUtf8(out, unit);
                i += 4;
                continue;
            }
        }
        out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
    }
    if (i >= text.size()) return std::nullopt;
    text.remove_prefix(i + 1);
    return out;
}

// Groups of a key file ("[Group]" then "Key=Value" lines).
using KeyFile = std::map<std::string, std::map<std::string, std::string>>;

KeyFile ReadKeyFile(std::string_view text) {
    KeyFile groups;
    std::string group;
    for (const TextLine& raw : SplitTextLines(text)) {
        std::string_view line = Stripped(raw.text);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            group = std::string(line.substr(1, line.size() - 2));
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        groups[group].emplace(std::string(Stripped(line.substr(0, equals))),
                              std::string(Stripped(line.substr(equals + 1))));
    }
    return groups;
}

std::string ValueOf(const KeyFile& file, const std::string& group, const std::string& key) {
    auto g = file.find(group);
    if (g == file.end()) return {};
    auto v = g->second.find(key);
    return v == g->second.end() ? std::string() : v->second;
}

// A whole decimal number in 0..65535; -1 for anything else.
int SmallNumber(std::string_view text) {
    text = Stripped(text);
    if (text.empty() || text.size() > 5) return -1;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n <= 65535 ? n : -1;
}

int PortOf(std::string_view text) {
    const int port = SmallNumber(text);
    return port >= 1 ? port : 0;
}

}  // namespace

std::vector<MailClientAccount> Pop3AccountsOfPrefs(std::string_view prefsJs) {
    struct Server {
        std::string type, host, user;
        int port = 0;
        MailClientSecurity security = MailClientSecurity::Unknown;
    };
    std::vector<std::string> order;
    std::map<std::string, Server> servers;
    constexpr std::string_view kPrefix = "mail.server.";
    for (const TextLine& raw : SplitTextLines(prefsJs)) {
        std::string_view line = Stripped(raw.text);
        if (!line.starts_with("user_pref(") && !line.starts_with("pref(")) continue;
        line.remove_prefix(line.find('(') + 1);
        std::optional<std::string> name = JsString(line);
        if (!name || !name->starts_with(kPrefix)) continue;
        line = Stripped(line);
        if (line.empty() || line.front() != ',') continue;
        line.remove_prefix(1);
        std::optional<std::string> value = JsString(line);
        // Numbers are written bare: "..., 995);".
        if (!value) value = std::string(line.substr(0, line.find(')')));
        std::string_view rest = std::string_view(*name).substr(kPrefix.size());
        std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos) continue;
        std::string id(rest.substr(0, dot));
        std::string_view field = rest.substr(dot + 1);
        if (!servers.count(id)) order.push_back(id);
        Server& server = servers[id];
        if (field == "type")
            server.type = *value;
        else if (field == "hostname")
            server.host = *value;
        else if (field == "userName")
            server.user = *value;
        else if (field == "port")
            server.port = PortOf(*value);
        else if (field == "socketType")
            switch (SmallNumber(*value)) {
                case 0:
                    server.security = MailClientSecurity::None;
                    break;
                case 2:
                    server.security = MailClientSecurity::Stls;
                    break;
                case 3:
                    server.security = MailClientSecurity::Tls;
                    break;
                default:
                    break;
            }
    }
    std::vector<MailClientAccount> accounts;
    for (const std::string& id : order) {
        const Server& server = servers[id];
        if (server.type == "pop3" && !server.host.empty())
            accounts.push_back({server.host, server.user, server.port, server.security});
    }
    return accounts;
}

std::vector<ProfileFolder> ProfileFoldersOfIni(std::string_view profilesIni) {
    std::vector<ProfileFolder> folders;
    ProfileFolder current;
    bool inProfile = false;
    auto flush = [&] {
        if (inProfile && !current.path.empty()) folders.push_back(current);
        current = {};
        inProfile = false;
    };
    for (const TextLine& raw : SplitTextLines(profilesIni)) {
        std::string_view line = Stripped(raw.text);
        if (line.starts_with("[")) {
            flush();
            inProfile = line.starts_with("[Profile");
            continue;
        }
        std::size_t equals = line.find('=');
        if (!inProfile || equals == std::string_view::npos) continue;
        std::string_view key = Stripped(line.substr(0, equals)), value = Stripped(line.substr(equals + 1));
        if (key == "Path") current.path = std::string(value);
        if (key == "IsRelative") current.relative = value != "0";
    }
    flush();
    return folders;
}

std::vector<MailClientAccount> Pop3AccountOfSource(std::string_view source) {
    KeyFile file = ReadKeyFile(source);
    if (ValueOf(file, "Mail Account", "BackendName") != "pop") return {};
    std::string host = ValueOf(file, "Authentication", "Host");
    if (host.empty()) return {};
    const std::string method = ValueOf(file, "Security", "Method");
    MailClientSecurity security = method == "ssl-on-alternate-port"       ? MailClientSecurity::Tls
                                  : method == "starttls-on-standard-port" ? MailClientSecurity::Stls
                                  : method == "none"                      ? MailClientSecurity::None
                                                                          : MailClientSecurity::Unknown;
    return {{host, ValueOf(file, "Authentication", "User"), PortOf(ValueOf(file, "Authentication", "Port")),
             security}};
}
