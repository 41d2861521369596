#include "tools/cli_account_command.h"

#include "account/account_keyring.h"
#include "account/account_provider.h"
#include "account/account_token.h"
#include "account/password_store.h"
#include "account/server_certificate.h"
#include "account/settings_exposure.h"
#include "app/account_tester.h"
#include "app/texts.h"
#include "platform/secret_memory.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "tools/cli_exit.h"

namespace {

AccountOverrides OptionsOverrides(const CliOptions& options) {
    AccountOverrides o;
    if (options.host) o.host = *options.host;
    if (options.user) o.user = *options.user;
    o.port = options.port;
    o.security = options.security;
    if (options.delaySeconds) o.limitMs = *options.delaySeconds * 1000;
    return o;
}

void ShowAccount(const Account& a, int slot, const AppPaths& paths, std::ostream& out) {
    const ResultService service = ReceivingService(a.resultService, a.host, paths);
    std::string ids = service.topmost ? "premier" : "";
    for (const std::string& id : service.ids) ids += (ids.empty() ? "" : " ") + id;
    out << "Compte " << slot << '\n'
        << "Serveur : " << a.host << '\n'
        << "Utilisateur : " << a.user << '\n'
        << "Port : " << a.port << '\n'
        << "Sécurité : " << SecurityKeyword(a.security) << '\n'
        << "Empreinte : " << (a.fingerprint.empty() ? "aucune" : a.fingerprint) << '\n'
        << "Délais : connexion " << a.connectLimitMs / 1000 << " s, lecture " << a.readLimitMs / 1000
        << " s\n"
        << "Authentification : " << AuthenticationKeyword(a.authentication) << '\n'
        << (a.authentication == AccountAuthentication::OAuth2
                ? "Commande du jeton : " + (a.tokenCommand.empty() ? "aucune" : std::string(a.tokenCommand)) +
                      "\n"
                : "")
        << "Mot de passe : "
        << (a.authentication == AccountAuthentication::OAuth2 ? "aucun (jeton OAuth2)"
            : a.inKeyring                                     ? "dans le trousseau"
            : a.configured                                    ? "enregistré"
                                                              : "aucun")
        << '\n'
        << "Service d'authentification : " << (ids.empty() ? "aucun" : ids)
        << (a.resultService.Empty() && !ids.empty() ? " (table des fournisseurs)" : "")
        << (a.unknownIsFailed ? ", expéditeur inconnu compté en échec" : "") << '\n';
}

// The account the options describe: the table's provider for --adresse,
// then each option given beside it. Nothing when the address's domain is
// unknown and no server is given.
std::optional<Account> AccountOfOptions(const CliOptions& options, const AppPaths& paths) {
    Account account;
    account.security = AccountSecurity::Tls;
    account.port = DefaultPort(account.security);
    if (options.address) {
        const std::string address = std::string(*options.address);
        if (auto fill = FillFromAddress(ProviderTable::Read(ProviderFiles(paths)), address)) {
            account.host = fill->host;
            account.user = fill->user;
            account.port = fill->port;
            account.security = fill->security;
            account.authentication = fill->authentication;
            account.clientId = fill->clientId;
            account.oauthBearer = fill->oauthBearer;
        } else if (!options.server) {
            return std::nullopt;
        } else {
            account.user = Trim(address);
        }
    }
    if (options.server) account.host = std::string(*options.server);
    if (options.user) account.user = std::string(*options.user);
    if (options.security) {
        if (account.port == DefaultPort(account.security)) account.port = DefaultPort(*options.security);
        account.security = *options.security;
    }
    if (options.port) account.port = *options.port;
    if (options.authentication) account.authentication = *options.authentication;
    if (options.tokenCommand) account.tokenCommand = std::string(*options.tokenCommand);
    if (options.clientId) account.clientId = Trim(*options.clientId);
    if (options.oauthBearer) account.oauthBearer = *options.oauthBearer;
    return account;
}

int Refuse(std::ostream& err, std::string_view utf8) {
    err << utf8 << '\n';
    return 1;
}

}  // namespace

AccountOverrides OverridesOf(const CliOptions& options, const Account& stored,
                             const PasswordReader& readPassword) {
    AccountOverrides o = OptionsOverrides(options);
    if (NeedsPasswordForRun(stored, o)) {
        if (auto typed = readPassword("Mot de passe pour " + *options.host + " : ")) {
            o.password = *typed;
            WipeSecret(*typed);
        }
    }
    return o;
}

// compte N --trousseau oui|non alone: the stored password moves to the
// keyring or back to the file. 0, or the exit status of a refusal.
int MoveStoredPassword(TIniFile& ini, int slot, bool toKeyring, std::ostream& err) {
    Account account = ReadAccount(ini, slot);
    if (!account.configured || account.authentication == AccountAuthentication::OAuth2) {
        err << std::string(FormatText(std::string(texts::kAccountNotConfigured), {IntToStr(slot)})) << '\n';
        return cli_exit::kAccount;
    }
    if (account.inKeyring == toKeyring) return 0;
    FetchKeyringPassword(account, slot, SystemSecretStore());
    account.inKeyring = toKeyring;
    StoreAccount(ini, slot, account, SystemSecretStore());
    return 0;
}

// The stored account tried on its server; its one line on `out`.
int TestStoredAccount(const TIniFile& ini, int slot, const AppPaths& paths, std::ostream& out) {
    TIdPOP3 client;
    AccountTestResult result = TestAccount(ReadAccount(ini, slot), client, slot, SystemSecretStore(),
                                           {nullptr, ProviderTable::Read(ProviderFiles(paths))});
    out << std::string(result.line) << '\n';
    return ExitCodeOf(result.outcome);
}

// compte N --autoriser: the program's own OAuth2 flow, its address printed
// for the user's browser; the refresh token goes to the keyring.
int AuthorizeStoredAccount(const TIniFile& ini, int slot, const AppPaths& paths, std::ostream& out,
                           std::ostream& err) {
    Account account = ReadAccount(ini, slot);
    if (account.authentication != AccountAuthentication::OAuth2 || !Trim(account.tokenCommand).empty()) {
        err << FormatText(std::string(texts::kNothingToAuthorize), {IntToStr(slot)}) << '\n';
        return cli_exit::kAccount;
    }
    AuthorizationOpener print = [&out](const std::string& url) {
        out << std::string(texts::kOpenThisAddress) << '\n' << url << std::endl;
        return true;
    };
    try {
        FetchAccessToken(account, slot,
                         {&SystemSecretStore(), ProviderTable::Read(ProviderFiles(paths)), print},
                         TokenRenewal::Authorize);
    } catch (const std::exception& e) {
        err << std::string(Trim(ErrorText(e))) << '\n';
        return ExitCodeOf(e);
    }
    out << FormatText(std::string(texts::kAuthorized), {IntToStr(slot)}) << '\n';
    return 0;
}

int RunAccountCommand(const CliOptions& options, const AppPaths& paths, std::ostream& out, std::ostream& err,
                      const PasswordReader& readPassword) {
    TIniFile ini(paths.settings);
    if (!options.server && !options.address && options.keyring) {
        if (int refused = MoveStoredPassword(ini, options.account, *options.keyring, err)) return refused;
    }
    if (!options.server && !options.address) {
        if (options.authorize) {
            if (int failed = AuthorizeStoredAccount(ini, options.account, paths, out, err)) return failed;
        }
        if (options.test) return TestStoredAccount(ini, options.account, paths, out);
        if (options.authorize) return 0;
        ShowAccount(ReadAccount(ini, options.account), options.account, paths, out);
        return 0;
    }
    std::optional<Account> described = AccountOfOptions(options, paths);
    if (!described) {
        err << CliUsageErrorLine(CliUsageError("domaine inconnu : précisez --serveur"));
        return cli_exit::kUsage;
    }
    Account account = std::move(*described);
    if (options.fingerprint) {
        account.fingerprint = NormalizeFingerprint(*options.fingerprint);
        if (account.fingerprint.empty()) return Refuse(err, texts::kBadFingerprint);
    }
    // An OAuth2 account logs in with a token: no password to ask for.
    if (account.authentication == AccountAuthentication::Password) {
        auto typed = readPassword("Mot de passe du compte " + std::to_string(options.account) + " : ");
        if (!typed) return Refuse(err, "Aucun mot de passe lu : rien n'a été enregistré.");
        account.password = *typed;
        WipeSecret(*typed);
        if (account.password.size() > kLongestPassword) return Refuse(err, texts::kPasswordTooLong);
        account.inKeyring = options.keyring ? *options.keyring : SystemSecretStore().Reachable();
    }
    StoreAccount(ini, options.account, account, SystemSecretStore());
    if (options.delaySeconds) {
        for (std::string_view key : {texts::kConnectLimitKey, texts::kReadLimitKey})
            ini.WriteString(texts::kSection, SlotKey(key, options.account), IntToStr(*options.delaySeconds));
    }
    ShowAccount(ReadAccount(ini, options.account), options.account, paths, out);
    if (options.authorize) {
        if (int failed = AuthorizeStoredAccount(ini, options.account, paths, out, err)) return failed;
    }
    return options.test ? TestStoredAccount(ini, options.account, paths, out) : 0;
}

int RunCertificateCommand(const CliOptions& options, std::ostream& out, std::ostream& err) {
    Account server;
    server.host = options.host.value_or("");
    server.security = options.security.value_or(AccountSecurity::Tls);
    server.port = options.port.value_or(DefaultPort(server.security));
    if (options.delaySeconds) server.connectLimitMs = server.readLimitMs = *options.delaySeconds * 1000;
    if (server.security == AccountSecurity::None)
        return Refuse(err, "Sans chiffrement, le serveur ne montre pas de certificat.");
    TIdPeerCertificate c = FetchServerCertificate(server);
    std::string verdict = CertificateProblemText(c, server.host);
    out << "Sujet : " << c.Subject << '\n'
        << "Émetteur : " << c.Issuer << '\n'
        << "Valide du " << c.NotBefore << " au " << c.NotAfter << '\n'
        << "Empreinte SHA-256 : " << c.Fingerprint << '\n'
        << "Vérification : " << (verdict.empty() ? "certificat valide" : "refusé, " + verdict) << '\n';
    return 0;
}
