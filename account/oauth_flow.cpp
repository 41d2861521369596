#include "account/oauth_flow.h"

#include "account/account_texts.h"
#include "net/http_post.h"
#include "net/loopback_redirect.h"
#include "net/pkce.h"
#include "platform/json_fields.h"
#include "platform/text.h"
#include "platform/text_format.h"

namespace {

using Form = std::vector<std::pair<std::string, std::string>>;

// The answer of the token endpoint (RFC 6749, 5.1 and 5.2).
OAuthTokens TokensOf(const HttpAnswer& answer) {
    const auto fields = JsonObjectFields(answer.body);
    auto field = [&](const char* name) {
        if (!fields) return std::string();
        auto found = fields->find(name);
        return found == fields->end() ? std::string() : found->second;
    };
    const std::string error = field("error");
    if (error == "invalid_grant") {
        const std::string reason = field("error_description");
        throw EOAuthGrantRefused(reason.empty() ? error : reason);
    }
    if (answer.status != 200 || field("access_token").empty()) {
        const std::string reason = !error.empty() ? error : fields ? "sans jeton" : "réponse illisible";
        throw EOAuthFailed(
            FormatText(std::string(texts::kTokenEndpointFailed), {IntToStr(answer.status), reason}));
    }
    OAuthTokens tokens{field("access_token"), field("refresh_token")};
    const std::optional<std::int32_t> expires = TryStrToInt(field("expires_in"));
    if (expires && *expires > 0) tokens.expiresIn = *expires;
    return tokens;
}

OAuthTokens Post(const OAuthClient& client, Form form) {
    form.emplace_back("client_id", client.clientId);
    return TokensOf(PostForm(client.endpoint.tokenUrl, FormBody(form), client.limitMs));
}

}  // namespace

std::string AuthorizationUrl(const OAuthClient& client, const std::string& redirectUri,
                             const std::string& challenge, const std::string& state,
                             const std::string& loginHint) {
    const std::string& base = client.endpoint.authorizationUrl;
    Form query{{"response_type", "code"},
               {"client_id", client.clientId},
               {"redirect_uri", redirectUri},
               {"scope", client.endpoint.scope},
               {"state", state},
               {"code_challenge", challenge},
               {"code_challenge_method", "S256"}};
    if (!loginHint.empty()) query.emplace_back("login_hint", loginHint);
    return base + (base.find('?') == std::string::npos ? "?" : "&") + FormBody(query);
}

OAuthTokens Authorize(const OAuthClient& client, const std::string& loginHint,
                      const AuthorizationOpener& opener, int waitMs) {
    LoopbackRedirect redirect;
    const std::string verifier = RandomUrlSafe(32);
    const std::string state = RandomUrlSafe(16);
    // Nobody would ever answer: no need to wait for the redirect.
    if (!opener(AuthorizationUrl(client, redirect.Uri(), PkceChallenge(verifier), state, loginHint)))
        throw EOAuthFailed(std::string(texts::kNoBrowser));
    // Another page of the browser, or any local program, may call the same
    // port: only our state counts, the others are turned away.
    const std::string target = redirect.WaitForRequest(
        waitMs, [&state](std::string_view t) { return QueryValue(t, "state") == state; });
    const std::string code = QueryValue(target, "code");
    if (code.empty()) {
        const std::string error = QueryValue(target, "error");
        throw EOAuthFailed(
            FormatText(std::string(texts::kAuthorizationDenied), {error.empty() ? std::string("?") : error}));
    }
    return Post(client, {{"grant_type", "authorization_code"},
                         {"code", code},
                         {"redirect_uri", redirect.Uri()},
                         {"code_verifier", verifier}});
}

OAuthTokens RenewTokens(const OAuthClient& client, const std::string& refreshToken) {
    return Post(client, {{"grant_type", "refresh_token"}, {"refresh_token", refreshToken}});
}
