#include "account/account_provider.h"

#include "account/account_settings.h"
#include "account/account_texts.h"
#include "platform/control_characters.h"
#include "platform/file_replace.h"
#include "platform/text.h"
#include "platform/text_lines.h"

namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        fields.push_back(Trim(text.substr(start, end == std::string_view::npos ? end : end - start)));
        if (end == std::string_view::npos) return fields;
        start = end + 1;
    }
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    for (std::string& word : Split(text, ' '))
        if (!word.empty()) words.push_back(LowerCase(word));
    return words;
}

std::optional<AccountProvider> ProviderOfLine(std::string_view line) {
    const std::vector<std::string> f = Split(line, ';');
    if (f.size() != 6) return std::nullopt;
    AccountProvider p;
    p.domains = Words(f[0]);
    p.host = f[1];
    const std::optional<std::int32_t> port = TryStrToInt(f[2]);
    const std::optional<AccountSecurity> security = ParseSecurity(f[3]);
    const std::optional<AccountAuthentication> authentication = ParseAuthentication(f[4]);
    const bool local = SameText(f[5], "identifiant");
    if (p.domains.empty() || p.host.empty() || !port || *port < 1 || *port > 65535 || !security ||
        !authentication || (!local && !SameText(f[5], "adresse")) || !UnusableNames(p.host, {}).empty())
        return std::nullopt;
    p.port = *port;
    p.security = *security;
    p.authentication = *authentication;
    p.userIsLocalPart = local;
    return p;
}

std::optional<OAuthEndpoint> EndpointOfLine(const std::vector<std::string>& f) {
    if ((f.size() != 6 && f.size() != 7) || !SameText(f[0], "oauth2")) return std::nullopt;
    const std::string mechanism = f.size() == 7 ? f[6] : "";
    const bool bearer = SameText(mechanism, "OAUTHBEARER");
    if (!bearer && !mechanism.empty() && !SameText(mechanism, "XOAUTH2")) return std::nullopt;
    OAuthEndpoint e{Words(f[1]), f[2], f[3], f[4], f[5], bearer};
    if (e.servers.empty() || e.authorizationUrl.empty() || e.tokenUrl.empty()) return std::nullopt;
    // The client id goes into the settings as a user name does.
    for (const std::string& server : e.servers)
        if (!UnusableNames(server, e.clientId).empty()) return std::nullopt;
    return e;
}

}  // namespace

std::optional<ResultService> ParseResultService(std::string_view text) {
    std::vector<std::string> ids = Words(text);
    if (ids.empty()) return std::nullopt;
    if (ids.size() == 1 && ids[0] == "premier") return ResultService{{}, true};
    return ResultService{std::move(ids), false};
}

ProviderTable ProviderTable::Parse(std::string_view text) {
    ProviderTable table;
    for (const TextLine& line : SplitTextLines(text)) {
        const std::string trimmed = Trim(line.text);
        if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
        // A line with a control character anywhere was not written by hand.
        if (WithoutControls(trimmed) != trimmed) continue;
        const std::vector<std::string> fields = Split(trimmed, ';');
        if (fields.size() == 3 && SameText(fields[0], "authserv")) {
            std::vector<std::string> servers = Words(fields[1]);
            std::optional<ResultService> service = ParseResultService(fields[2]);
            if (!servers.empty() && service)
                table.services_.push_back({std::move(servers), std::move(*service)});
        } else if (auto endpoint = EndpointOfLine(fields))
            table.endpoints_.push_back(std::move(*endpoint));
        else if (auto provider = ProviderOfLine(trimmed))
            table.providers_.push_back(std::move(*provider));
    }
    return table;
}

ProviderTable ProviderTable::Read(const std::vector<std::filesystem::path>& files) {
    ProviderTable table;
    for (const std::filesystem::path& file : files) {
        std::string bytes;
        if (ReadWholeFile(file, bytes) != 0) continue;
        ProviderTable read = Parse(bytes);
        for (AccountProvider& p : read.providers_) table.providers_.push_back(std::move(p));
        for (OAuthEndpoint& e : read.endpoints_) table.endpoints_.push_back(std::move(e));
        for (ServiceLine& l : read.services_) table.services_.push_back(std::move(l));
    }
    return table;
}

const AccountProvider* ProviderTable::Find(std::string_view domain) const {
    const std::string wanted = LowerCase(Trim(domain));
    for (const AccountProvider& p : providers_) {
        for (const std::string& d : p.domains)
            if (d == wanted) return &p;
    }
    return nullptr;
}

const OAuthEndpoint* ProviderTable::FindEndpoint(std::string_view host) const {
    const std::string wanted = LowerCase(Trim(host));
    for (const OAuthEndpoint& e : endpoints_) {
        for (const std::string& server : e.servers)
            if (server == wanted) return &e;
    }
    return nullptr;
}

ResultService ProviderTable::FindResultService(std::string_view host) const {
    const std::string wanted = LowerCase(Trim(host));
    for (const ServiceLine& line : services_) {
        for (const std::string& server : line.servers)
            if (server == wanted) return line.service;
    }
    return {};
}

std::vector<std::filesystem::path> ProviderFiles(const AppPaths& paths) {
    std::vector<std::filesystem::path> files{paths.folder / texts::kProviderFile};
    if (paths.providers != files[0]) files.push_back(paths.providers);
    return files;
}

ResultService ReceivingService(const ResultService& own, std::string_view host, const AppPaths& paths) {
    return own.Empty() ? ProviderTable::Read(ProviderFiles(paths)).FindResultService(host) : own;
}

std::optional<std::string> AddressDomain(std::string_view address) {
    const std::string trimmed = Trim(address);
    const std::size_t at = trimmed.rfind('@');
    if (at == std::string::npos || at == 0 || at + 1 == trimmed.size()) return std::nullopt;
    for (char c : trimmed)
        if (static_cast<unsigned char>(c) <= ' ') return std::nullopt;
    return LowerCase(trimmed.substr(at + 1));
}

std::optional<AddressFill> FillFromAddress(const ProviderTable& table, std::string_view address) {
    const std::optional<std::string> domain = AddressDomain(address);
    const AccountProvider* p = domain ? table.Find(*domain) : nullptr;
    if (!p) return std::nullopt;
    const std::string whole = Trim(address);
    AddressFill fill;
    fill.host = p->host;
    fill.user = p->userIsLocalPart ? whole.substr(0, whole.rfind('@')) : whole;
    fill.port = p->port;
    fill.security = p->security;
    fill.authentication = p->authentication;
    const OAuthEndpoint* endpoint =
        p->authentication == AccountAuthentication::OAuth2 ? table.FindEndpoint(p->host) : nullptr;
    if (endpoint) {
        fill.clientId = endpoint->clientId;
        fill.oauthBearer = endpoint->oauthBearer;
    }
    return fill;
}
