#pragma once
// One HTTP/1.1 POST with a form body, as an OAuth2 token endpoint takes it
// (RFC 6749, 4.1.3 and 6), over TLS; plain HTTP only to a loopback address.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/id_exception.h"

// An address this client will not send a form to: not http(s), no host, or
// plain http to anything but a loopback address.
VANNOIR_DECLARE_ERROR(
    EHttpAddressRefused, EIdException, Account,
    "Adresse refusée : seules les adresses https (ou http sur la boucle locale) sont admises.");
// An answer that is not HTTP/1.x, or larger than the client takes.
VANNOIR_DECLARE_ERROR(EHttpBadAnswer, EIdException, Server, "Réponse HTTP illisible.");

struct HttpAddress {
    bool tls = true;
    std::string host;  // without brackets for IPv6
    int port = 443;
    std::string target = "/";  // path and query
};

// "https://host[:port]/path?query"; nothing for another scheme, an empty
// host, a bad port, or user information (which would hide the real host).
std::optional<HttpAddress> ParseHttpAddress(std::string_view url);
// 127.0.0.0/8, ::1 and "localhost".
bool IsLoopbackHost(std::string_view host);

// application/x-www-form-urlencoded: every byte but the unreserved ones of
// RFC 3986 as %XX, fields joined by "&".
std::string PercentEncode(std::string_view text);
std::string FormBody(const std::vector<std::pair<std::string, std::string>>& fields);

struct HttpAnswer {
    int status = 0;
    std::string body;
};

// Posts `form` to `url` and reads the whole answer (at most 256 KiB),
// whatever its status. `limitMs` bounds the whole exchange (connection,
// handshake, request and answer: EIdReadTimeout past it); a
// non-empty `trustFile` names the authorities to trust instead of the
// system's. Throws EHttpAddressRefused before any connection, EHttpBadAnswer,
// and the socket, time-limit and TLS errors of the connection.
HttpAnswer PostForm(std::string_view url, std::string_view form, int limitMs,
                    const std::string& trustFile = {});
