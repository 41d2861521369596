#pragma once
// HTTP/1.1 requests: one POST with a form body, as an OAuth2 token endpoint
// takes it (RFC 6749, 4.1.3 and 6), over TLS, plain HTTP only to a loopback
// address; and a connection that carries many requests to one server.
#include <cstddef>
#include <functional>
#include <memory>
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

class TIdTCPConnection;
class TIdTCPClient;

// What HTTP/1.x and the protocols shaped like it send back: a first line,
// header fields up to an empty line, then a body counted by its length,
// chunked, or running to the close.
struct HeaderedAnswer {
    std::string firstLine;
    std::vector<std::pair<std::string, std::string>> fields;
    std::string body;
    // The body ran to the close: the connection carries nothing more.
    bool toClose = false;
    // The value of the first field so named (any case); nothing without one.
    std::optional<std::string> Field(std::string_view name) const;
};

// Reads one answer, its body at most `largest` bytes and at most 100 fields
// (EHttpBadAnswer past either or for a bad length), within the connection's
// own time limits. `checkFirstLine` sees the first line before anything
// more is read, and throws for one that ends the exchange (garbage, or a
// refusal after which the peer sends nothing more).
HeaderedAnswer ReadHeaderedAnswer(TIdTCPConnection& connection, std::size_t largest,
                                  const std::function<void(const std::string&)>& checkFirstLine);

using HttpFields = std::vector<std::pair<std::string, std::string>>;

// Requests to one server over one connection, kept open between them while
// the server keeps it (HTTP/1.1 persistent connections) and opened again
// when it does not. Refuses no address: callers decide what may go in clear.
class HttpConnection {
public:
    explicit HttpConnection(HttpAddress origin, std::string trustFile = {});
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    // Sends one request (Host and Content-Length added to `fields`) and reads
    // its whole answer, at most 256 KiB, whatever its status. `limitMs`
    // bounds the whole exchange, a new connection and handshake included
    // (EIdReadTimeout past it). A kept connection the server dropped while
    // idle is opened again once. Throws EHttpBadAnswer and the socket,
    // time-limit and TLS errors; the connection is then closed.
    HttpAnswer Request(std::string_view method, std::string_view target, const HttpFields& fields,
                       std::string_view body, int limitMs);
    // Connections opened so far.
    int Opened() const { return opened_; }

private:
    HttpAddress origin_;
    std::string trustFile_;
    std::unique_ptr<TIdTCPClient> client_;
    int opened_ = 0;
};

// Posts `form` to `url` and reads the whole answer (at most 256 KiB),
// whatever its status. `limitMs` bounds the whole exchange (connection,
// handshake, request and answer: EIdReadTimeout past it); a
// non-empty `trustFile` names the authorities to trust instead of the
// system's. Throws EHttpAddressRefused before any connection, EHttpBadAnswer,
// and the socket, time-limit and TLS errors of the connection.
HttpAnswer PostForm(std::string_view url, std::string_view form, int limitMs,
                    const std::string& trustFile = {});
