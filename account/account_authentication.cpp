#include "account/account_authentication.h"

#include "platform/text.h"

std::string_view AuthenticationKeyword(AccountAuthentication authentication) {
    return authentication == AccountAuthentication::OAuth2 ? "oauth2" : "motdepasse";
}

std::optional<AccountAuthentication> ParseAuthentication(std::string_view text) {
    for (AccountAuthentication a : {AccountAuthentication::Password, AccountAuthentication::OAuth2}) {
        if (SameText(Trim(text), AuthenticationKeyword(a))) return a;
    }
    return std::nullopt;
}
