#include "net/http_post.h"

#include <charconv>
#include <chrono>

#include "net/net_errors.h"
#include "net/tcp_client.h"
#include "platform/text.h"

namespace {

constexpr std::size_t kLargestAnswer = 256 * 1024;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::optional<std::size_t> ParseSize(std::string_view text, int base) {
    std::size_t value = 0;
    const std::string trimmed = Trim(text);
    const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value, base);
    if (error != std::errc() || end == trimmed.data()) return std::nullopt;
    // A chunk size may carry extensions after ";".
    if (end != trimmed.data() + trimmed.size() && *end != ';') return std::nullopt;
    return value;
}

std::string ReadCounted(TIdTCPClient& client, std::size_t count) {
    if (count > kLargestAnswer) throw EHttpBadAnswer();
    std::string body(count, '\0');
    client.ReadBytes(body.data(), static_cast<int>(count));
    return body;
}

std::string ReadChunked(TIdTCPClient& client) {
    std::string body;
    for (;;) {
        const std::optional<std::size_t> size = ParseSize(client.ReadLine(), 16);
        if (!size || body.size() + *size > kLargestAnswer) throw EHttpBadAnswer();
        if (*size == 0) break;
        body += ReadCounted(client, *size);
        client.ReadLine();  // the chunk's CR LF
    }
    // Trailer fields up to the empty line.
    while (!client.ReadLine().empty()) {
    }
    return body;
}

std::string ReadToClose(TIdTCPClient& client) {
    while (client.FillInputBuffer(false) > 0) {
        if (client.InputBuffer().Size() > kLargestAnswer) throw EHttpBadAnswer();
    }
    return client.InputBuffer().Extract(client.InputBuffer().Size());
}

}  // namespace

bool IsLoopbackHost(std::string_view host) {
    if (SameText(host, "localhost") || host == "::1") return true;
    // An address 127.x.y.z, not a name that merely begins so.
    if (!host.starts_with("127.")) return false;
    int dots = 0;
    for (char c : host) {
        if (c == '.')
            ++dots;
        else if (c < '0' || c > '9')
            return false;
    }
    return dots == 3;
}

std::optional<HttpAddress> ParseHttpAddress(std::string_view url) {
    HttpAddress address;
    if (StartsWithNoCase(url, "https://")) {
        url.remove_prefix(8);
    } else if (StartsWithNoCase(url, "http://")) {
        url.remove_prefix(7);
        address.tls = false;
        address.port = 80;
    } else {
        return std::nullopt;
    }
    const std::size_t slash = url.find_first_of("/?#");
    std::string_view authority = url.substr(0, slash);
    if (slash != std::string_view::npos) {
        std::string_view rest = url.substr(slash);
        rest = rest.substr(0, rest.find('#'));
        address.target = rest.starts_with("/") ? std::string(rest) : "/" + std::string(rest);
    }
    if (authority.find('@') != std::string_view::npos) return std::nullopt;
    std::string_view portText;
    if (authority.starts_with("[")) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        address.host = std::string(authority.substr(1, close - 1));
        std::string_view after = authority.substr(close + 1);
        if (!after.empty() && !after.starts_with(":")) return std::nullopt;
        if (!after.empty()) portText = after.substr(1);
    } else {
        const std::size_t colon = authority.rfind(':');
        address.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
    }
    if (address.host.empty()) return std::nullopt;
    if (!portText.empty()) {
        const std::optional<std::size_t> port = ParseSize(portText, 10);
        if (!port || *port < 1 || *port > 65535 || portText.find(';') != std::string_view::npos)
            return std::nullopt;
        address.port = static_cast<int>(*port);
    }
    return address;
}

std::string PercentEncode(std::string_view text) {
    std::string out;
    for (char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += c;
        } else {
            out += '%';
            AppendHexByte(out, static_cast<unsigned char>(c));
        }
    }
    return out;
}

std::string FormBody(const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string body;
    for (const auto& [name, value] : fields)
        body += (body.empty() ? "" : "&") + PercentEncode(name) + "=" + PercentEncode(value);
    return body;
}

HttpAnswer PostForm(std::string_view url, std::string_view form, int limitMs, const std::string& trustFile) {
    const std::optional<HttpAddress> address = ParseHttpAddress(url);
    // A token or a code never crosses a network in clear.
    if (!address || (!address->tls && !IsLoopbackHost(address->host))) throw EHttpAddressRefused();
    // One limit for the whole exchange: a peer that sends a byte at a time,
    // each in time, cannot stretch it.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    const auto left = [&] {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (ms.count() <= 0) throw EIdReadTimeout();
        return static_cast<int>(ms.count());
    };
    TIdTCPClient client;
    client.Host = address->host;
    client.Port = address->port;
    client.ConnectTimeout = limitMs;
    client.ReadTimeout = limitMs;
    client.ReadDeadline = end;
    client.MaxLineLength = 8192;
    // The handshake comes after the connection, within what is left.
    client.TLS.Mode = address->tls ? tlsExplicit : tlsNone;
    client.TLS.TrustFile = trustFile;
    client.OpenConnection();
    if (address->tls) {
        client.ReadTimeout = left();
        client.StartTLS();
    }
    const bool bracketed = address->host.find(':') != std::string::npos;
    const std::string hostHeader =
        (bracketed ? "[" + address->host + "]" : address->host) +
        (address->port == (address->tls ? 443 : 80) ? "" : ":" + IntToStr(address->port));
    client.WriteText("POST " + address->target + " HTTP/1.1\r\nHost: " + hostHeader +
                     "\r\nContent-Type: application/x-www-form-urlencoded\r\nAccept: application/json\r\n"
                     "Connection: close\r\nContent-Length: " +
                     IntToStr(static_cast<int>(form.size())) + "\r\n\r\n" + std::string(form));
    HttpAnswer answer;
    const std::string status = client.ReadLine();
    if (!status.starts_with("HTTP/1.") || status.size() < 12 || status[8] != ' ') throw EHttpBadAnswer();
    const std::optional<std::size_t> code = ParseSize(status.substr(9, 3), 10);
    if (!code) throw EHttpBadAnswer();
    answer.status = static_cast<int>(*code);
    std::optional<std::size_t> length;
    bool chunked = false;
    for (int count = 0;; ++count) {
        const std::string header = client.ReadLine();
        if (header.empty()) break;
        if (count > 100) throw EHttpBadAnswer();
        const std::size_t colon = header.find(':');
        if (colon == std::string::npos) continue;
        const std::string_view name = std::string_view(header).substr(0, colon);
        const std::string value = Trim(std::string_view(header).substr(colon + 1));
        if (SameText(name, "Content-Length")) {
            length = ParseSize(value, 10);
            if (!length) throw EHttpBadAnswer();
        } else if (SameText(name, "Transfer-Encoding")) {
            chunked = LowerCase(value).find("chunked") != std::string::npos;
        }
    }
    answer.body = chunked ? ReadChunked(client) : length ? ReadCounted(client, *length) : ReadToClose(client);
    client.ReleaseSocket();
    return answer;
}
