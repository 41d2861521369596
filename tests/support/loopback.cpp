#include "support/loopback.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {
sockaddr_in Loopback(int port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = htons(static_cast<uint16_t>(port));
    return sa;
}

int BoundPort(int fd) {
    sockaddr_in sa{};
    socklen_t length = sizeof sa;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &length) != 0)
        throw std::runtime_error("getsockname");
    return ntohs(sa.sin_port);
}

// Starts a non-blocking connect; true when it completed within `wait`.
bool ConnectCompletes(int fd, int port, std::chrono::milliseconds wait) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    sockaddr_in sa = Loopback(port);
    if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) return true;
    pollfd p{fd, POLLOUT, 0};
    return poll(&p, 1, static_cast<int>(wait.count())) == 1;
}
}  // namespace

int UnusedLoopbackPort() {
    LoopbackListener probe;
    return probe.Port();  // closed again when `probe` goes
}

LoopbackListener::LoopbackListener(int backlog) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw std::runtime_error("socket");
    sockaddr_in sa = Loopback(0);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || listen(fd_, backlog) != 0) {
        close(fd_);
        throw std::runtime_error("bind/listen on loopback");
    }
    port_ = BoundPort(fd_);
}

LoopbackListener::~LoopbackListener() { close(fd_); }

UnansweredListener::UnansweredListener() {
    // The kernel queues a few connections for a listener that never accepts,
    // then leaves further handshakes unanswered.
    for (int i = 0; i < 64; ++i) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bool completed = ConnectCompletes(fd, Port(), std::chrono::milliseconds(1000));
        fillers_.push_back(fd);
        if (!completed) return;
    }
    throw std::runtime_error("the listen queue never filled");
}

UnansweredListener::~UnansweredListener() {
    for (int fd : fillers_) close(fd);
}

WakePipe::WakePipe() {
    if (pipe2(fds_, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
}

WakePipe::~WakePipe() {
    close(fds_[0]);
    close(fds_[1]);
}

void WakePipe::Wake() {
    char c = 1;
    [[maybe_unused]] ssize_t n = write(fds_[1], &c, 1);
}
