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

std::string ReadCounted(TIdTCPConnection& connection, std::size_t count, std::size_t largest) {
    if (count > largest) throw EHttpBadAnswer();
    std::string body(count, '\0');
    connection.ReadBytes(body.data(), static_cast<int>(count));
    return body;
}

std::string ReadChunked(TIdTCPConnection& connection, std::size_t largest) {
    std::string body;
    for (;;) {
        const std::optional<std::size_t> size = ParseSize(connection.ReadLine(), 16);
        if (!size || body.size() + *size > largest) throw EHttpBadAnswer();
        if (*size == 0) break;
        body += ReadCounted(connection, *size, largest);
        connection.ReadLine();  // the chunk's CR LF
    }
    // Trailer fields up to the empty line.
    while (!connection.ReadLine().empty()) {
    }
    return body;
}

std::string ReadToClose(TIdTCPConnection& connection, std::size_t largest) {
    while (connection.FillInputBuffer(false) > 0) {
        if (connection.InputBuffer().Size() > largest) throw EHttpBadAnswer();
    }
    return connection.InputBuffer().Extract(connection.InputBuffer().Size());
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

std::optional<std::string> HeaderedAnswer::Field(std::string_view name) const {
    for (const auto& [fieldName, value] : fields)
        if (SameText(fieldName, name)) return value;
    return std::nullopt;
}

HeaderedAnswer ReadHeaderedAnswer(TIdTCPConnection& connection, std::size_t largest,
                                  const std::function<void(const std::string&)>& checkFirstLine) {
    HeaderedAnswer answer;
    answer.firstLine = connection.ReadLine();
    // A peer that closed within the first line sent no answer at all.
    if (connection.LastLineTimedOut()) throw EIdConnClosedGracefully();
    checkFirstLine(answer.firstLine);
    std::optional<std::size_t> length;
    bool chunked = false;
    for (;;) {
        std::string line = connection.ReadLine();
        if (line.empty()) {
            if (connection.LastLineTimedOut()) throw EIdConnClosedGracefully();
            break;
        }
        if (answer.fields.size() >= 100) throw EHttpBadAnswer();
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string name = line.substr(0, colon);
        std::string value = Trim(std::string_view(line).substr(colon + 1));
        if (SameText(name, "Content-Length")) {
            length = ParseSize(value, 10);
            if (!length) throw EHttpBadAnswer();
        } else if (SameText(name, "Transfer-Encoding")) {
            chunked = LowerCase(value).find("chunked") != std::string::npos;
        }
        answer.fields.emplace_back(std::move(name), std::move(value));
    }
    answer.toClose = !chunked && !length;
    answer.body = chunked  ? ReadChunked(connection, largest)
                  : length ? ReadCounted(connection, *length, largest)
                           : ReadToClose(connection, largest);
    return answer;
}

HttpConnection::HttpConnection(HttpAddress origin, std::string trustFile)
    : origin_(std::move(origin)), trustFile_(std::move(trustFile)) {}

HttpConnection::~HttpConnection() = default;

HttpAnswer HttpConnection::Request(std::string_view method, std::string_view target, const HttpFields& fields,
                                   std::string_view body, int limitMs) {
    // One limit for the whole exchange: a peer that sends a byte at a time,
    // each in time, cannot stretch it.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    const auto left = [&] {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (ms.count() <= 0) throw EIdReadTimeout();
        return static_cast<int>(ms.count());
    };
    const bool bracketed = origin_.host.find(':') != std::string::npos;
    std::string request = std::string(method) + " " + std::string(target) +
                          " HTTP/1.1\r\nHost: " + (bracketed ? "[" + origin_.host + "]" : origin_.host) +
                          (origin_.port == (origin_.tls ? 443 : 80) ? "" : ":" + IntToStr(origin_.port)) +
                          "\r\n";
    for (const auto& [name, value] : fields) request += name + ": " + value + "\r\n";
    request += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    request += body;
    for (int attempt = 0;; ++attempt) {
        const bool reused = client_ && client_->IsConnected();
        bool answering = false;
        try {
            if (!reused) {
                client_ = std::make_unique<TIdTCPClient>();
                client_->Host = origin_.host;
                client_->Port = origin_.port;
                client_->ConnectTimeout = left();
                client_->ReadTimeout = left();
                client_->ReadDeadline = end;
                client_->MaxLineLength = 8192;
                // The handshake comes after the connection, within what is left.
                client_->TLS.Mode = origin_.tls ? tlsExplicit : tlsNone;
                client_->TLS.TrustFile = trustFile_;
                client_->OpenConnection();
                ++opened_;
                if (origin_.tls) {
                    client_->ReadTimeout = left();
                    client_->StartTLS();
                }
            }
            client_->ReadTimeout = left();
            client_->ReadDeadline = end;
            client_->WriteText(request);
            if (client_->InputBuffer().Size() == 0) client_->FillInputBuffer();
            answering = true;
            std::optional<std::size_t> code;
            const HeaderedAnswer read =
                ReadHeaderedAnswer(*client_, kLargestAnswer, [&](const std::string& line) {
                    if (line.starts_with("HTTP/1.") && line.size() >= 12 && line[8] == ' ')
                        code = ParseSize(line.substr(9, 3), 10);
                    if (!code) throw EHttpBadAnswer();
                });
            const std::string& status = read.firstLine;
            const std::optional<std::string> connection = read.Field("Connection");
            const bool keeps = !read.toClose && status.starts_with("HTTP/1.1") &&
                               !(connection && LowerCase(*connection).find("close") != std::string::npos);
            if (!keeps) client_.reset();
            return HttpAnswer{static_cast<int>(*code), read.body};
        } catch (const EIdException& e) {
            client_.reset();
            // A kept connection the server closed while idle: once more on a
            // new one. Anything else, or an answer begun, is the answer.
            const bool dropped =
                dynamic_cast<const EIdConnClosedGracefully*>(&e) || dynamic_cast<const EIdSocketError*>(&e) ||
                dynamic_cast<const EIdClosedSocket*>(&e) || dynamic_cast<const EIdNotConnected*>(&e);
            if (!reused || answering || !dropped || attempt > 0) throw;
        }
    }
}

HttpAnswer PostForm(std::string_view url, std::string_view form, int limitMs, const std::string& trustFile) {
    const std::optional<HttpAddress> address = ParseHttpAddress(url);
    // A token or a code never crosses a network in clear.
    if (!address || (!address->tls && !IsLoopbackHost(address->host))) throw EHttpAddressRefused();
    HttpConnection connection(*address, trustFile);
    return connection.Request("POST", address->target,
                              {{"Content-Type", "application/x-www-form-urlencoded"},
                               {"Accept", "application/json"},
                               {"Connection", "close"}},
                              form, limitMs);
}
