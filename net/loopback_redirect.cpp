#include "net/loopback_redirect.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "net/anti_freeze.h"
#include "net/net_errors.h"
#include "platform/interruption.h"

namespace {

constexpr std::string_view kPage =
    "<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\"><title>Vannoir</title></head>"
    "<body><p>Vannoir a reçu l'autorisation. Vous pouvez fermer cette fenêtre.</p></body></html>";

using Clock = std::chrono::steady_clock;

int LeftMs(Clock::time_point end) {
    return static_cast<int>(std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
}

// Whether `fd` turns readable before `end`, waiting at most `capMs`. The
// user may take minutes in the browser: the wait goes in the anti-freeze's
// slices, the window handling its messages between them, and a stop request
// (the window's "Arrêter", a signal) ends it with EIdInterrupted.
bool Readable(int fd, Clock::time_point end, int capMs) {
    const Clock::time_point until = std::min(end, Clock::now() + std::chrono::milliseconds(capMs));
    pollfd p[2] = {{fd, POLLIN, 0}, {Interruption::WakeDescriptor(), POLLIN, 0}};
    for (;;) {
        int wait = LeftMs(until);
        if (AntiFreezeInEffect()) wait = std::min(wait, RegisteredAntiFreeze()->SliceMs());
        const int ready = ::poll(p, 2, wait);
        Interruption::ThrowIfRequested();
        if (ready > 0 && p[0].revents != 0) return true;
        // A wake with no request left standing would end every slice at once.
        if (ready > 0 && p[1].revents != 0) p[1].fd = -1;
        if (LeftMs(until) == 0) return false;
        PumpIfAllowed(true, false);
    }
}

// The request line of one connection, read within the time left; empty when
// none came.
std::string RequestLine(int fd, Clock::time_point end) {
    std::string bytes;
    while (bytes.find("\r\n\r\n") == std::string::npos && bytes.size() < 16384) {
        if (!Readable(fd, end, 10000)) break;
        char chunk[4096];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    const std::string line = bytes.substr(0, bytes.find("\r\n"));
    if (!line.starts_with("GET ")) return {};
    const std::size_t space = line.find(' ', 4);
    return line.substr(4, space == std::string::npos ? std::string::npos : space - 4);
}

void Answer(int fd) {
    const std::string answer =
        "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
        std::to_string(kPage.size()) + "\r\nConnection: close\r\n\r\n" + std::string(kPage);
    std::size_t sent = 0;
    while (sent < answer.size()) {
        const ssize_t n = ::send(fd, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

LoopbackRedirect::LoopbackRedirect() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd_, 4) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (fd_ >= 0) ::close(fd_);
        throw EIdCouldNotBindSocket();
    }
    port_ = ntohs(address.sin_port);
}

LoopbackRedirect::~LoopbackRedirect() { ::close(fd_); }

std::string LoopbackRedirect::Uri() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

std::string LoopbackRedirect::WaitForRequest(int limitMs) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        if (!Readable(fd_, end, limitMs)) throw ERedirectTimeout();
        const int connection = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        std::string target = RequestLine(connection, end);
        // A browser's second request (the icon) finds the page already given.
        if (!target.empty()) Answer(connection);
        ::close(connection);
        if (!target.empty() && target != "/favicon.ico") return target;
    }
}

std::string QueryValue(std::string_view target, std::string_view name) {
    const std::size_t question = target.find('?');
    if (question == std::string_view::npos) return {};
    std::string_view query = target.substr(question + 1);
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view field = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const std::size_t equals = field.find('=');
        if (field.substr(0, equals) != name) continue;
        std::string value;
        const std::string_view raw =
            equals == std::string_view::npos ? std::string_view() : field.substr(equals + 1);
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '+') {
                value += ' ';
            } else if (raw[i] == '%' && i + 2 < raw.size()) {
                const std::optional<char> byte = HexPairValue(raw[i + 1], raw[i + 2]);
                if (byte) {
                    value += *byte;
                    i += 2;
                } else {
                    value += raw[i];
                }
            } else {
                value += raw[i];
            }
        }
        return value;
    }
    return {};
}
