#pragma once
// How an account logs in: with its password (USER and PASS), or with an
// OAuth2 access token. The settings file names them "motdepasse" and
// "oauth2" ("Authentification"N), read without regard to case.
#include <optional>
#include <string_view>

enum class AccountAuthentication { Password, OAuth2 };

// "motdepasse" or "oauth2".
std::string_view AuthenticationKeyword(AccountAuthentication authentication);
// A keyword in any case, blanks around it allowed; nothing for anything else.
std::optional<AccountAuthentication> ParseAuthentication(std::string_view text);
