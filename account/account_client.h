#pragma once
// Gives an account to the POP3 client: server, port, user name, password,
// security with its trusted certificate, and the time limits.
#include "account/account_settings.h"
#include "pop3/pop3.h"

void ApplyAccountToClient(const Account& account, TIdPOP3& client);
