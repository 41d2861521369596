#include "app/account_token.h"

#include "app/texts.h"
#include "platform/command_output.h"
#include "platform/text.h"
#include "platform/text_format.h"

void FetchAccessToken(Account& account, int slot) {
    if (account.authentication != AccountAuthentication::OAuth2) return;
    const std::string n = IntToStr(slot);
    if (Trim(account.tokenCommand).empty())
        throw EAccessTokenUnavailable(FormatText(std::string(texts::kNoTokenCommand), {n, n}));
    const CommandOutput output = RunForFirstLine(std::string(account.tokenCommand));
    if (output.status != 0)
        throw EAccessTokenUnavailable(
            FormatText(std::string(texts::kTokenCommandFailed), {n, IntToStr(output.status)}));
    if (output.firstLine.empty())
        throw EAccessTokenUnavailable(FormatText(std::string(texts::kTokenCommandSilent), {n}));
    account.accessToken = output.firstLine;
}
