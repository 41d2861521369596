#include "support/oauth_token_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace {

long long Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string Decoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::map<std::string, std::string> Fields(const std::string& query) {
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string field = query.substr(start, end - start);
        const std::size_t eq = field.find('=');
        if (eq != std::string::npos) fields[Decoded(field.substr(0, eq))] = Decoded(field.substr(eq + 1));
        start = end + 1;
    }
    return fields;
}

// BASE64URL(SHA256(text)), computed here rather than by the program's code.
std::string S256(const std::string& text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    EVP_Digest(text.data(), text.size(), digest, &size, EVP_sha256(), nullptr);
    unsigned char b64[128];
    const int n = EVP_EncodeBlock(b64, digest, static_cast<int>(size));
    std::string out(reinterpret_cast<char*>(b64), static_cast<std::size_t>(n));
    while (!out.empty() && out.back() == '=') out.pop_back();
    for (char& c : out) c = c == '+' ? '-' : c == '/' ? '_' : c;
    return out;
}

std::string Response(const std::string& status, const std::string& body, const std::string& extra = {}) {
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + extra + "\r\n" + body;
}

void SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

// A request or answer: its head, then as many body bytes as it says.
std::string ReadMessage(int fd, int limitMs) {
    std::string bytes;
    std::size_t wanted = std::string::npos;
    for (;;) {
        const std::size_t head = bytes.find("\r\n\r\n");
        if (head != std::string::npos && wanted == std::string::npos) {
            wanted = head + 4;
            std::string lower = bytes.substr(0, head);
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const std::size_t length = lower.find("content-length:");
            if (length != std::string::npos) wanted += std::stoul(lower.substr(length + 15));
        }
        if (wanted != std::string::npos && bytes.size() >= wanted) return bytes;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, limitMs) <= 0) return bytes;
        char chunk[4096];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return bytes;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

// Sends GET for an address http://127.0.0.1:port/target; the connection,
// its answer to be read (Answer).
int SendGet(const std::string& url) {
    const std::size_t hostStart = url.find("//") + 2;
    const std::size_t colon = url.find(':', hostStart);
    const std::size_t slash = url.find('/', hostStart);
    const int port = std::stoi(url.substr(colon + 1, slash - colon - 1));
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        throw std::runtime_error("no connection to " + url);
    }
    SendAll(fd, "GET " + url.substr(slash) + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    return fd;
}

// The body of the answer on `fd`, which it closes; `location` its redirect.
std::string Answer(int fd, std::string& location) {
    const std::string answer = ReadMessage(fd, 10000);
    ::close(fd);
    const std::size_t at = answer.find("\r\nLocation: ");
    location = at == std::string::npos ? "" : answer.substr(at + 12, answer.find("\r\n", at + 12) - at - 12);
    const std::size_t head = answer.find("\r\n\r\n");
    return head == std::string::npos ? "" : answer.substr(head + 4);
}

}  // namespace

OAuthTokenServer::OAuthTokenServer(std::string clientId, std::string user, int port)
    : clientId_(std::move(clientId)), user_(std::move(user)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd_, 16) != 0)
        throw std::runtime_error("token server: cannot listen on " + std::to_string(port));
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

OAuthTokenServer::~OAuthTokenServer() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
}

std::string OAuthTokenServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void OAuthTokenServer::SetLifetime(int seconds) {
    std::lock_guard lock(mutex_);
    lifetime_ = seconds;
}

void OAuthTokenServer::DeactivateAccessTokens() {
    std::lock_guard lock(mutex_);
    access_.clear();
}

void OAuthTokenServer::RevokeRefreshTokens() {
    std::lock_guard lock(mutex_);
    refresh_.clear();
}

std::string OAuthTokenServer::IssueRefreshToken() {
    std::lock_guard lock(mutex_);
    const std::string token = "ref-" + std::to_string(++next_);
    refresh_.insert(token);
    return token;
}

void OAuthTokenServer::Serve() {
    while (!stop_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int connection = ::accept(fd_, nullptr, nullptr);
        if (connection < 0) continue;
        Answer(connection);
        ::close(connection);
    }
}

void OAuthTokenServer::Answer(int fd) {
    const std::string request = ReadMessage(fd, 5000);
    const std::size_t lineEnd = request.find("\r\n");
    const std::size_t head = request.find("\r\n\r\n");
    if (lineEnd == std::string::npos || head == std::string::npos) return;
    const std::string line = request.substr(0, lineEnd);
    const std::size_t space = line.find(' ');
    const std::string method = line.substr(0, space);
    const std::string target = line.substr(space + 1, line.find(' ', space + 1) - space - 1);
    SendAll(fd, Route(method, target, request.substr(head + 4)));
}

// Issues an access token and a new refresh token; mutex_ held.
std::string OAuthTokenServer::Tokens() {
    const std::string access = "acc-" + std::to_string(++next_);
    const std::string refresh = "ref-" + std::to_string(++next_);
    access_[access] = Now() + lifetime_;
    refresh_.insert(refresh);
    return Response("200 OK", "{\"access_token\":\"" + access +
                                  "\",\"token_type\":\"Bearer\",\"expires_in\":" + std::to_string(lifetime_) +
                                  ",\"scope\":\"pop\",\"refresh_token\":\"" + refresh +
                                  "\",\"extra\":{\"nested\":[1,2,{\"a\":null}]}}");
}

std::string OAuthTokenServer::Route(const std::string& method, const std::string& target,
                                    const std::string& body) {
    std::lock_guard lock(mutex_);
    const std::size_t question = target.find('?');
    const std::string path = target.substr(0, question);
    const std::string bad = Response("400 Bad Request", "{\"error\":\"invalid_request\"}");
    if (method == "GET" && path == "/authorize") {
        auto q = Fields(question == std::string::npos ? "" : target.substr(question + 1));
        if (q["response_type"] != "code" || q["client_id"] != clientId_ ||
            q["code_challenge_method"] != "S256" || q["code_challenge"].size() != 43 || q["state"].empty() ||
            q["redirect_uri"].rfind("http://127.0.0.1:", 0) != 0 || q["login_hint"] != user_) {
            ++refusals_;
            return bad;
        }
        const std::string code = "code-" + std::to_string(++next_);
        codes_[code] = {q["code_challenge"], q["redirect_uri"]};
        return Response("302 Found", "",
                        "Location: " + q["redirect_uri"] + "?code=" + code + "&state=" + q["state"] + "\r\n");
    }
    auto f = Fields(body);
    if (method == "POST" && path == "/token" && f["client_id"] == clientId_) {
        if (f["grant_type"] == "authorization_code") {
            auto found = codes_.find(f["code"]);
            if (found == codes_.end() || found->second.second != f["redirect_uri"] ||
                S256(f["code_verifier"]) != found->second.first) {
                ++refusals_;
                return Response("400 Bad Request", "{\"error\":\"invalid_grant\"}");
            }
            codes_.erase(found);
            ++codeGrants_;
            return Tokens();
        }
        if (f["grant_type"] == "refresh_token") {
            if (refresh_.erase(f["refresh_token"]) == 0) {
                ++refusals_;
                return Response(
                    "400 Bad Request",
                    "{\"error\":\"invalid_grant\",\"error_description\":\"Token has been revoked.\"}");
            }
            ++refreshGrants_;
            return Tokens();
        }
    }
    if (method == "POST" && path == "/introspect") {
        auto found = access_.find(f["token"]);
        if (found == access_.end() || found->second <= Now()) {
            ++inactiveIntrospections_;
            return Response("200 OK", "{\"active\":false}");
        }
        ++activeIntrospections_;
        return Response("200 OK", "{\"active\":true,\"username\":\"" + user_ + "\"}");
    }
    ++refusals_;
    return bad;
}

BrowserShell::~BrowserShell() {
    if (pending_ >= 0) ::close(pending_);
}

bool BrowserShell::Open(const std::filesystem::path& document) {
    if (!RecordingShell::Open(document)) return false;
    const std::string url = document.string();
    if (!url.starts_with("http://")) return true;
    std::string location;
    Answer(SendGet(url), location);
    // An error page: the program waits for a return that never comes.
    if (location.empty()) return true;
    // The listener takes the connection into its queue now and answers
    // once the program waits for it, after this call.
    if (pending_ >= 0) ::close(pending_);
    pending_ = SendGet(location);
    return true;
}

std::string BrowserShell::Page() {
    if (pending_ < 0) return {};
    std::string ignored;
    const std::string page = Answer(pending_, ignored);
    pending_ = -1;
    return page;
}
