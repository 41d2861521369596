#pragma once
// The access token of an OAuth2 account, from the command the user names in
// the settings ("CommandeJeton"N): its first output line.
#include "app/account_settings.h"
#include "platform/id_exception.h"

// No command, a command that failed, or one that wrote no token.
class EAccessTokenUnavailable : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Account)
};
VANNOIR_LIST_ERROR(EAccessTokenUnavailable, std::string("x"));

// Fills the access token of an OAuth2 account (nothing to do for the
// others). Throws EAccessTokenUnavailable: never a log-in with an empty token.
void FetchAccessToken(Account& account, int slot);
