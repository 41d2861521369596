#include "account/account_security.h"

#include "platform/text.h"

std::string_view SecurityKeyword(AccountSecurity security) {
    switch (security) {
        case AccountSecurity::Tls:
            return "TLS";
        case AccountSecurity::Stls:
            return "STLS";
        case AccountSecurity::None:
            break;
    }
    return "Aucune";
}

std::optional<AccountSecurity> ParseSecurity(std::string_view text) {
    for (AccountSecurity s : {AccountSecurity::Tls, AccountSecurity::Stls, AccountSecurity::None}) {
        if (SameText(Trim(text), SecurityKeyword(s))) return s;
    }
    return std::nullopt;
}

int DefaultPort(AccountSecurity security) { return security == AccountSecurity::Tls ? 995 : 110; }
