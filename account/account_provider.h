#pragma once
// The table of mail providers an address fills an account from: for each
// provider its address domains, its POP3 server, port, security, how it
// authenticates and which user name it expects. The table is a text file
// installed with the program ("Fournisseurs.TXT"); a file of the same name in
// the settings folder adds to it and wins over it.
//
// One provider a line, fields separated by ";":
//   domains;server;port;security;authentication;user
// domains separated by spaces; security "TLS", "STLS" or "Aucune";
// authentication "motdepasse" or "oauth2"; user "adresse" (the whole
// address) or "identifiant" (the part before "@"). Keywords in any case.
// Lines starting with ";" or "#", and empty lines, are comments.
//
// A line whose first field is "oauth2" gives instead the OAuth2 endpoints of
// POP3 servers:
//   oauth2;servers;authorization address;token address;scope;client id[;mechanism]
// servers separated by spaces; the scope as the provider spells it; the
// client id may be empty (an account then names its own); the SASL
// mechanism "XOAUTH2" (also when left out or empty) or "OAUTHBEARER".
//
// A line whose first field is "authserv" names the receiving service of POP3
// servers, whose Authentication-Results alone are believed:
//   authserv;servers;ids
// ids separated by spaces, "*.exemple.fr" for any subdomain of exemple.fr;
// or "premier" for a service that writes no id, whose topmost result header
// is then its own. Earlier readers leave such lines out as malformed.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "account/account_authentication.h"
#include "account/account_security.h"
#include "account/app_paths.h"
#include "message/authentication_results.h"

struct AccountProvider {
    std::vector<std::string> domains;  // lower case
    std::string host;
    int port = 995;
    AccountSecurity security = AccountSecurity::Tls;
    AccountAuthentication authentication = AccountAuthentication::Password;
    bool userIsLocalPart = false;  // "identifiant"
};

struct OAuthEndpoint {
    std::vector<std::string> servers;  // lower case
    std::string authorizationUrl;
    std::string tokenUrl;
    std::string scope;
    std::string clientId;
    bool oauthBearer = false;
};

// What an address fills in; for OAuth2, the client id and mechanism of the
// server's endpoints when the table has them.
struct AddressFill {
    std::string host, user;
    int port = 995;
    AccountSecurity security = AccountSecurity::Tls;
    AccountAuthentication authentication = AccountAuthentication::Password;
    std::string clientId{};
    bool oauthBearer = false;
};

class ProviderTable {
public:
    // The providers of a table file's text. A line without its six fields,
    // with a port outside 1..65535, an unknown keyword, a control character,
    // or a server or client id a slot cannot hold (UnusableNames), is left
    // out (a hand-edited table loses that line, not the others). Never throws.
    static ProviderTable Parse(std::string_view text);
    // The tables of `files` in order, an earlier file's provider winning for
    // a domain both name; a missing or unreadable file adds nothing.
    static ProviderTable Read(const std::vector<std::filesystem::path>& files);

    const std::vector<AccountProvider>& Providers() const { return providers_; }
    // The provider of `domain` (any case), or nullptr.
    const AccountProvider* Find(std::string_view domain) const;
    // The endpoints of POP3 server `host` (any case), or nullptr.
    const OAuthEndpoint* FindEndpoint(std::string_view host) const;
    // The receiving service of POP3 server `host` (any case); empty when the
    // table has none.
    ResultService FindResultService(std::string_view host) const;

private:
    struct ServiceLine {
        std::vector<std::string> servers;  // lower case
        ResultService service;
    };
    std::vector<AccountProvider> providers_;
    std::vector<OAuthEndpoint> endpoints_;
    std::vector<ServiceLine> services_;
};

// A receiving service as the table and the account's setting
// ("ServiceAuthentification") write it: ids separated by spaces, or
// "premier". nullopt for an empty text.
std::optional<ResultService> ParseResultService(std::string_view text);

// The tables the program reads: the one in the settings folder first, then
// the installed one.
std::vector<std::filesystem::path> ProviderFiles(const AppPaths& paths);

// The receiving service whose results a run on `host` believes: `own` (the
// account's setting) when it names one, else the tables' line for `host`.
ResultService ReceivingService(const ResultService& own, std::string_view host, const AppPaths& paths);

// The domain of an e-mail address "local@domain" (lower case), or nothing
// when it is not one: no "@", an empty side, or a blank inside.
std::optional<std::string> AddressDomain(std::string_view address);

// The account `address` gives with the table's provider for its domain;
// nothing for an address that is not one or a domain the table lacks.
std::optional<AddressFill> FillFromAddress(const ProviderTable& table, std::string_view address);
