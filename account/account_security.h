#pragma once
// How an account reaches its server: TLS from the first byte (POP3S, port
// 995), STLS on a plain connection (port 110), or in clear. The settings
// file names them "TLS", "STLS" and "Aucune".
#include <optional>
#include <string_view>

enum class AccountSecurity { Tls, Stls, None };

// "TLS", "STLS" or "Aucune".
std::string_view SecurityKeyword(AccountSecurity security);
// A keyword in any case; nothing for anything else.
std::optional<AccountSecurity> ParseSecurity(std::string_view text);
// 995 for TLS, else 110.
int DefaultPort(AccountSecurity security);
