#include "account/account_token.h"

#include <chrono>
#include <map>
#include <mutex>

#include "account/account_keyring.h"
#include "account/account_texts.h"
#include "platform/command_output.h"
#include "platform/text.h"
#include "platform/text_format.h"

namespace {

using Clock = std::chrono::steady_clock;
// A token this close to its end is renewed before a log-in rather than after.
constexpr auto kExpiryMargin = std::chrono::seconds(60);

struct HeldToken {
    std::string access;
    Clock::time_point expiry;
};

std::mutex heldMutex;
std::map<std::string, HeldToken> held;

std::string HeldKey(const Account& account, const std::string& clientId) {
    return LowerCase(Trim(account.host)) + '\n' + account.user + '\n' + clientId;
}

void FromCommand(Account& account, const std::string& n) {
    // A command that never ends would hold the action, and the lock with it.
    const int limitMs = account.connectLimitMs;
    const CommandOutput output = RunForFirstLine(std::string(account.tokenCommand), limitMs);
    if (output.timedOut)
        throw EAccessTokenUnavailable(
            FormatText(std::string(texts::kTokenCommandTimedOut), {n, IntToStr((limitMs + 999) / 1000)}));
    if (output.status != 0)
        throw EAccessTokenUnavailable(
            FormatText(std::string(texts::kTokenCommandFailed), {n, IntToStr(output.status)}));
    if (output.firstLine.empty())
        throw EAccessTokenUnavailable(FormatText(std::string(texts::kTokenCommandSilent), {n}));
    account.accessToken = output.firstLine;
}

OAuthTokens Obtain(const Account& account, const std::string& n, const TokenSource& source,
                   const OAuthClient& client, TokenRenewal renewal) {
    const SecretKey key = KeyringKeyOf(account);
    if (renewal != TokenRenewal::Authorize) {
        if (std::optional<std::string> refresh = source.store->Lookup(key); refresh && !refresh->empty()) {
            try {
                return RenewTokens(client, *refresh);
            } catch (const EOAuthGrantRefused& e) {
                if (!source.opener)
                    throw EOAuthGrantRefused(
                        FormatText(std::string(texts::kGrantRefused), {n, e.Message(), n}));
            }
        } else if (!source.opener) {
            throw EAccessTokenUnavailable(FormatText(std::string(texts::kNotAuthorized), {n, n}));
        }
    }
    return Authorize(client, account.user, source.opener, source.waitMs);
}

void FromFlow(Account& account, const std::string& n, const TokenSource& source, TokenRenewal renewal) {
    const OAuthEndpoint* endpoint = source.providers.FindEndpoint(account.host);
    if (!endpoint || !source.store)
        throw EAccessTokenUnavailable(
            FormatText(std::string(texts::kNoTokenSource), {n, n, Trim(account.host)}));
    const std::string clientId = account.clientId.empty() ? endpoint->clientId : account.clientId;
    if (clientId.empty()) throw EAccessTokenUnavailable(FormatText(std::string(texts::kNoClientId), {n, n}));
    const std::string heldKey = HeldKey(account, clientId);
    if (renewal == TokenRenewal::Cached) {
        std::lock_guard lock(heldMutex);
        auto found = held.find(heldKey);
        if (found != held.end() && Clock::now() + kExpiryMargin < found->second.expiry) {
            account.accessToken = found->second.access;
            return;
        }
    }
    const OAuthClient client{*endpoint, clientId};
    const OAuthTokens tokens = Obtain(account, n, source, client, renewal);
    // A provider that rotates refresh tokens has just made the old one void.
    if (!tokens.refresh.empty())
        source.store->Store(
            KeyringKeyOf(account),
            FormatText(std::string(texts::kRefreshTokenLabel), {account.user, Trim(account.host)}),
            tokens.refresh);
    {
        std::lock_guard lock(heldMutex);
        held[heldKey] = {tokens.access, Clock::now() + std::chrono::seconds(tokens.expiresIn)};
    }
    account.accessToken = tokens.access;
}

}  // namespace

void FetchAccessToken(Account& account, int slot, const TokenSource& source, TokenRenewal renewal) {
    if (account.authentication != AccountAuthentication::OAuth2) return;
    const std::string n = IntToStr(slot);
    if (!Trim(account.tokenCommand).empty())
        FromCommand(account, n);
    else
        FromFlow(account, n, source, renewal);
}

void ForgetAccessTokens() {
    std::lock_guard lock(heldMutex);
    held.clear();
}

std::function<void(Account& account, bool renew)> TokenSupplierFor(int slot,
                                                                   std::function<TokenSource()> source) {
    return [source = std::move(source), slot](Account& used, bool renew) {
        FetchAccessToken(used, slot, source(), renew ? TokenRenewal::Renew : TokenRenewal::Cached);
    };
}
