#include "tools/cli_account_command.h"

#include "app/password_store.h"
#include "app/server_certificate.h"
#include "app/settings_exposure.h"
#include "app/texts.h"
#include "platform/secret_memory.h"
#include "platform/text.h"

namespace {

AccountOverrides OptionsOverrides(const CliOptions& options) {
    AccountOverrides o;
    if (options.host) o.host = Utf8ToAnsi(*options.host);
    if (options.user) o.user = Utf8ToAnsi(*options.user);
    o.port = options.port;
    o.security = options.security;
    if (options.delaySeconds) o.limitMs = *options.delaySeconds * 1000;
    return o;
}

void ShowAccount(const Account& a, int slot, std::ostream& out) {
    out << "Compte " << slot << '\n'
        << "Serveur : " << AnsiToUtf8(a.host) << '\n'
        << "Utilisateur : " << AnsiToUtf8(a.user) << '\n'
        << "Port : " << a.port << '\n'
        << "Sécurité : " << SecurityKeyword(a.security) << '\n'
        << "Empreinte : " << (a.fingerprint.empty() ? "aucune" : a.fingerprint) << '\n'
        << "Délais : connexion " << a.connectLimitMs / 1000 << " s, lecture " << a.readLimitMs / 1000
        << " s\n"
        << "Mot de passe : " << (a.configured ? "enregistré" : "aucun") << '\n';
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
            o.password = Utf8ToAnsi(*typed);
            WipeSecret(*typed);
        }
    }
    return o;
}

int RunAccountCommand(const CliOptions& options, const std::filesystem::path& settings, std::ostream& out,
                      std::ostream& err, const PasswordReader& readPassword) {
    TIniFile ini(settings);
    if (!options.server) {
        ShowAccount(ReadAccount(ini, options.account), options.account, out);
        return 0;
    }
    Account account;
    account.host = Utf8ToAnsi(*options.server);
    account.user = Utf8ToAnsi(options.user.value_or(""));
    account.security = options.security.value_or(AccountSecurity::Tls);
    account.port = options.port.value_or(DefaultPort(account.security));
    if (options.fingerprint) {
        account.fingerprint = NormalizeFingerprint(*options.fingerprint);
        if (account.fingerprint.empty()) return Refuse(err, texts::kBadFingerprint);
    }
    auto typed = readPassword("Mot de passe du compte " + std::to_string(options.account) + " : ");
    if (!typed) return Refuse(err, "Aucun mot de passe lu : rien n'a été enregistré.");
    account.password = Utf8ToAnsi(*typed);
    WipeSecret(*typed);
    if (account.password.size() > kLongestPassword) return Refuse(err, texts::kPasswordTooLong);
    SaveAccountSettings(ini, options.account, account);
    if (options.delaySeconds) {
        for (std::string_view key : {texts::kConnectLimitKey, texts::kReadLimitKey})
            ini.WriteString(texts::kSection, SlotKey(key, options.account), IntToStr(*options.delaySeconds));
    }
    ShowAccount(ReadAccount(ini, options.account), options.account, out);
    return 0;
}

int RunCertificateCommand(const CliOptions& options, std::ostream& out, std::ostream& err) {
    Account server;
    server.host = Utf8ToAnsi(options.host.value_or(""));
    server.security = options.security.value_or(AccountSecurity::Tls);
    server.port = options.port.value_or(DefaultPort(server.security));
    if (options.delaySeconds) server.connectLimitMs = server.readLimitMs = *options.delaySeconds * 1000;
    if (server.security == AccountSecurity::None)
        return Refuse(err, "Sans chiffrement, le serveur ne montre pas de certificat.");
    TIdPeerCertificate c = FetchServerCertificate(server);
    std::string verdict = CertificateProblemText(c, server.host);
    out << "Sujet : " << AnsiToUtf8(c.Subject) << '\n'
        << "Émetteur : " << AnsiToUtf8(c.Issuer) << '\n'
        << "Valide du " << c.NotBefore << " au " << c.NotAfter << '\n'
        << "Empreinte SHA-256 : " << c.Fingerprint << '\n'
        << "Vérification : " << (verdict.empty() ? "certificat valide" : "refusé, " + AnsiToUtf8(verdict))
        << '\n';
    return 0;
}
