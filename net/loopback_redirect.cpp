#include "net/loopback_redirect.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <vector>

#include "net/anti_freeze.h"
#include "net/net_errors.h"
#include "platform/interruption.h"

namespace {

constexpr std::string_view kPage =
    "<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\"><title>Vannoir</title></head>"
    "<body><p>Vannoir a reçu l'autorisation. Vous pouvez fermer cette fenêtre.</p></body></html>";
constexpr std::string_view kRefusedPage =
    "<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\"><title>Vannoir</title></head>"
    "<body><p>Cette demande n'est pas celle qu'attend Vannoir.</p></body></html>";

using Clock = std::chrono::steady_clock;

int LeftMs(Clock::time_point end) {
    return static_cast<int>(std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
}

// Whether one of `fds` turns readable before `until` (their revents then
// set). The user may take minutes in the browser: the wait goes in the
// anti-freeze's slices, the window handling its messages between them, and
// a stop request (the window's "Arrêter", a signal) ends it with
// EIdInterrupted.
bool AnyReadable(std::vector<pollfd>& fds, Clock::time_point until) {
    const std::size_t count = fds.size();
    fds.push_back({Interruption::WakeDescriptor(), POLLIN, 0});
    for (;;) {
        int wait = LeftMs(until);
        if (AntiFreezeInEffect()) wait = std::min(wait, RegisteredAntiFreeze()->SliceMs());
        const int ready = ::poll(fds.data(), fds.size(), wait);
        Interruption::ThrowIfRequested();
        if (ready > 0 && std::any_of(fds.begin(), fds.begin() + static_cast<std::ptrdiff_t>(count),
                                     [](const pollfd& p) { return p.revents != 0; })) {
            fds.pop_back();
            return true;
        }
        // A wake with no request left standing would end every slice at once.
        if (ready > 0 && fds.back().revents != 0) fds.back().fd = -1;
        if (LeftMs(until) == 0) return false;
        PumpIfAllowed(true, false);
    }
}

// A browser's request head is a few kilobytes, sent at once: a connection
// gets this much room and time, and a few may wait side by side, so that
// neither a stray request nor a silent connection holds the browser's back.
constexpr std::size_t kLargestRequest = 16384;
constexpr auto kRequestTime = std::chrono::seconds(10);
constexpr std::size_t kMostConnections = 8;

struct Connection {
    int fd;
    Clock::time_point end;
    std::string bytes;
};

// Closes what is still open when the wait ends, however it ends.
struct Connections {
    std::vector<Connection> open;
    ~Connections() {
        for (const Connection& c : open) ::close(c.fd);
    }
    void Drop(std::size_t i) {
        ::close(open[i].fd);
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
    }
};

// The target of a GET request head; empty for anything else.
std::string TargetOf(const std::string& head) {
    const std::string line = head.substr(0, head.find("\r\n"));
    if (!line.starts_with("GET ")) return {};
    const std::size_t space = line.find(' ', 4);
    return line.substr(4, space == std::string::npos ? std::string::npos : space - 4);
}

void Answer(int fd, std::string_view status, std::string_view page) {
    const std::string answer =
        "HTTP/1.1 " + std::string(status) +
        "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " + std::to_string(page.size()) +
        "\r\nConnection: close\r\n\r\n" + std::string(page);
    std::size_t sent = 0;
    while (sent < answer.size()) {
        const ssize_t n = ::send(fd, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
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

std::string LoopbackRedirect::WaitForRequest(int limitMs, const Wanted& wanted) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(limitMs);
    Connections connections;
    std::vector<Connection>& open = connections.open;
    for (;;) {
        Clock::time_point until = end;
        for (std::size_t i = open.size(); i-- > 0;) {
            if (LeftMs(open[i].end) == 0)
                connections.Drop(i);
            else
                until = std::min(until, open[i].end);
        }
        std::vector<pollfd> fds{{fd_, POLLIN, 0}};
        for (const Connection& c : open) fds.push_back({c.fd, POLLIN, 0});
        if (!AnyReadable(fds, until)) {
            if (LeftMs(end) == 0) throw ERedirectTimeout();
            continue;
        }
        for (std::size_t i = open.size(); i-- > 0;) {
            if (fds[i + 1].revents == 0) continue;
            Connection& c = open[i];
            char chunk[4096];
            const ssize_t n = ::recv(c.fd, chunk, sizeof chunk, MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n <= 0) {
                connections.Drop(i);
                continue;
            }
            c.bytes.append(chunk, static_cast<std::size_t>(n));
            const bool whole = c.bytes.find("\r\n\r\n") != std::string::npos;
            if (!whole && c.bytes.size() <= kLargestRequest) continue;
            const std::string target = whole ? TargetOf(c.bytes) : std::string();
            if (!target.empty() && wanted(target)) {
                Answer(c.fd, "200 OK", kPage);
                return target;
            }
            // Another page of the browser, or another program: not ours.
            Answer(c.fd, "400 Bad Request", kRefusedPage);
            connections.Drop(i);
        }
        if (fds[0].revents != 0) {
            const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            if (open.size() == kMostConnections) connections.Drop(0);
            open.push_back({fd, Clock::now() + kRequestTime, {}});
        }
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
