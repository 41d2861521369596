#include "support/delay_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <deque>
#include <string>

namespace {
using Clock = std::chrono::steady_clock;
constexpr std::size_t kMostHeld = 4u << 20;

// One direction of the link: bytes read from `from`, each piece due for
// `to` at its time.
struct Direction {
    Direction(int reading, int writing) : from(reading), to(writing) {}
    int from;
    int to;
    struct Piece {
        Clock::time_point due;
        std::string bytes;
    };
    std::deque<Piece> pieces;
    std::atomic<std::uint64_t>* counted = nullptr;  // bytes read, when asked
    std::size_t held = 0;
    bool ended = false;     // `from` closed
    bool shutDown = false;  // and `to` was told so
    bool blocked = false;   // `to` takes no more for now

    // Passes on what is due; false when `to` failed.
    bool Flush(Clock::time_point now) {
        blocked = false;
        while (!pieces.empty() && pieces.front().due <= now) {
            std::string& bytes = pieces.front().bytes;
            ssize_t n = send(to, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK) {
                    blocked = true;
                    return true;
                }
                return false;
            }
            held -= static_cast<std::size_t>(n);
            bytes.erase(0, static_cast<std::size_t>(n));
            if (bytes.empty()) pieces.pop_front();
        }
        if (ended && pieces.empty() && !shutDown) {
            shutdown(to, SHUT_WR);
            shutDown = true;
        }
        return true;
    }
    void Receive(Clock::time_point due) {
        char buffer[65536];
        ssize_t n = recv(from, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (n <= 0) {
            ended = true;
            return;
        }
        pieces.push_back({due, std::string(buffer, static_cast<std::size_t>(n))});
        held += static_cast<std::size_t>(n);
        if (counted) *counted += static_cast<std::uint64_t>(n);
    }
};

int ConnectLoopback(int port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}
}  // namespace

DelayProxy::DelayProxy(int targetPort, std::chrono::milliseconds delay)
    : targetPort_(targetPort), delay_(delay) {
    thread_ = std::thread([this] { Run(); });
}

DelayProxy::~DelayProxy() {
    wake_.Wake();
    thread_.join();
}

void DelayProxy::Run() {
    for (;;) {
        pollfd fds[2] = {{listener_.Fd(), POLLIN, 0}, {wake_.ReadFd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
        if (fds[1].revents != 0) return;
        if (fds[0].revents == 0) continue;
        int client = accept4(listener_.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        int one = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        int server = ConnectLoopback(targetPort_);
        bool going = server < 0 || Relay(client, server);
        if (server >= 0) close(server);
        close(client);
        if (!going) return;
    }
}

bool DelayProxy::Relay(int client, int server) {
    Direction up(client, server);
    Direction down(server, client);
    down.counted = &toClient_;
    for (;;) {
        auto now = Clock::now();
        if (!up.Flush(now) || !down.Flush(now)) return true;
        if (up.shutDown && down.shutDown) return true;
        // Wake for the next piece due, unless its side is blocked anyway.
        int timeout = -1;
        for (Direction* d : {&up, &down}) {
            if (d->pieces.empty() || d->blocked) continue;
            auto wait = std::chrono::ceil<std::chrono::milliseconds>(d->pieces.front().due - now).count();
            int ms = wait < 0 ? 0 : static_cast<int>(wait);
            timeout = timeout < 0 ? ms : std::min(timeout, ms);
        }
        auto events = [&](Direction& reading, Direction& writing) {
            short e = 0;
            if (!reading.ended && reading.held < kMostHeld) e |= POLLIN;
            if (writing.blocked) e |= POLLOUT;
            return e;
        };
        // A socket with nothing to wait for is left out: its hang-up would
        // wake the poll at once, again and again.
        const short clientEvents = events(up, down), serverEvents = events(down, up);
        pollfd fds[3] = {{clientEvents ? client : -1, clientEvents, 0},
                         {serverEvents ? server : -1, serverEvents, 0},
                         {wake_.ReadFd(), POLLIN, 0}};
        if (poll(fds, 3, timeout) < 0 && errno != EINTR) return true;
        if (fds[2].revents != 0) return false;
        now = Clock::now();
        if (!up.ended && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) up.Receive(now + delay_);
        if (!down.ended && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) down.Receive(now + delay_);
    }
}
