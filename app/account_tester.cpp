#include "app/account_tester.h"

#include "account/account_client.h"
#include "account/account_keyring.h"
#include "account/account_token.h"
#include "app/texts.h"
#include "net/tls_errors.h"
#include "platform/control_characters.h"
#include "platform/text_format.h"

namespace {

// The error's text on one line: a socket error puts its code and its
// explanation on two, and a server's text may hold any byte.
std::string OneLine(std::string_view text) { return Trim(WithoutControls(text)); }

// What failed, from the error's kind.
std::string FailureLine(const std::exception& e) {
    const std::string message = OneLine(ErrorText(e));
    if (dynamic_cast<const EIdTLSCertificateRefused*>(&e))
        return FormatText(std::string(texts::kTestCertificateRefused), {message});
    switch (FaultOf(e)) {
        case Outcome::Fault::Network:
            return FormatText(std::string(texts::kTestUnreachable), {message});
        case Outcome::Fault::Account:
            return message;
        default:
            break;
    }
    return FormatText(std::string(texts::kTestRefused), {message});
}

}  // namespace

AccountTestResult TestAccount(const Account& stored, TIdPOP3& client, int slot, SecretStore& store,
                              TokenSource tokens) {
    if (!stored.configured) {
        std::string line = FormatText(std::string(texts::kAccountNotConfigured), {IntToStr(slot)});
        return {Outcome::Failed(line, {}, Outcome::Fault::Account), line};
    }
    Account account = stored;
    try {
        FetchKeyringPassword(account, slot, store);
        if (!tokens.store) tokens.store = &store;
        FetchAccessToken(account, slot, tokens);
        ApplyAccountToClient(account, client);
        client.OpenSession();
        int count = 0;
        try {
            count = client.CountMessages();
        } catch (...) {
            try {
                client.CloseSession();
            } catch (const std::exception&) {
            }
            throw;
        }
        client.CloseSession();
        std::string line = FormatText(std::string(texts::kTestDone), {account.host, IntToStr(count)});
        return {Outcome::Done(), std::move(line)};
    } catch (const std::exception& e) {
        std::string line = FailureLine(e);
        return {Outcome::Failed(line, Trim(ErrorText(e)), FaultOf(e)), line};
    }
}
