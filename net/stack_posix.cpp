// The socket stack over POSIX sockets.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "net/socket_error_codes.h"
#include "net/stack.h"
#include "platform/interruption.h"

namespace {
// The last failure of a call on this thread, already in Winsock numbering.
thread_local int tLastError = 0;

int Fail(int code) {
    tLastError = code;
    return Id_SOCKET_ERROR;
}
int FailFromErrno() { return Fail(WinsockCodeFromErrno(errno)); }

// The address structure for an IPv4 or IPv6 address text; an empty text is
// the any-address of `family`.
struct SockAddr {
    sockaddr_storage storage{};
    socklen_t length = 0;
    sockaddr* get() { return reinterpret_cast<sockaddr*>(&storage); }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

SockAddr ToSockAddr(const std::string& ip, int port, int family = Id_PF_INET) {
    SockAddr sa;
    if (!ip.empty()) family = TIdStack::FamilyOf(ip);
    if (family == Id_PF_INET6) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(sa.storage);
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(static_cast<std::uint16_t>(port));
        v6.sin6_addr = in6addr_any;
        if (!ip.empty()) inet_pton(AF_INET6, ip.c_str(), &v6.sin6_addr);
        sa.length = sizeof v6;
    } else {
        auto& v4 = reinterpret_cast<sockaddr_in&>(sa.storage);
        v4.sin_family = AF_INET;
        v4.sin_port = htons(static_cast<std::uint16_t>(port));
        v4.sin_addr.s_addr = htonl(INADDR_ANY);
        if (!ip.empty()) {
            std::array<std::uint8_t, 4> addr = TIdStack::TranslateStringToTInAddr(ip);
            std::memcpy(&v4.sin_addr, addr.data(), 4);
        }
        sa.length = sizeof v4;
    }
    return sa;
}

void FromSockAddr(const sockaddr* sa, TIdSocketAddress& address) {
    if (sa->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(sa);
        char text[INET6_ADDRSTRLEN] = {};
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        address.Family = Id_PF_INET6;
        address.IP = text;
        address.Port = ntohs(v6->sin6_port);
        return;
    }
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(sa);
    std::array<std::uint8_t, 4> addr{};
    std::memcpy(addr.data(), &v4->sin_addr, 4);
    address.Family = Id_PF_INET;
    address.IP = TIdStack::TranslateTInAddrToString(addr);
    address.Port = ntohs(v4->sin_port);
}

// The family of a socket, for a bind to its any-address.
int FamilyOfSocket(int s) {
    int domain = AF_INET;
    socklen_t length = sizeof domain;
    getsockopt(s, SOL_SOCKET, SO_DOMAIN, &domain, &length);
    return domain == AF_INET6 ? Id_PF_INET6 : Id_PF_INET;
}

using Clock = std::chrono::steady_clock;

// poll() that resumes after a signal with the time that is left; -1 ms waits
// without limit. The interruption's descriptor joins every wait: a request
// ends it with EINTR, whichever thread caught the signal.
int PollRestarting(pollfd* fds, nfds_t count, int timeoutMs) {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    std::vector<pollfd> all(fds, fds + count);
    all.push_back({Interruption::WakeDescriptor(), POLLIN, 0});
    for (;;) {
        if (Interruption::Requested()) {
            errno = EINTR;
            return -1;
        }
        int result = poll(all.data(), all.size(), timeoutMs);
        if (result >= 0) {
            for (nfds_t k = 0; k < count; ++k) fds[k].revents = all[k].revents;
            if (all.back().revents == 0) return result;
            continue;  // the request, seen at the top
        }
        if (errno != EINTR) return result;
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            timeoutMs = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        }
    }
}

// A call cut by a signal is made again, unless the signal asked to stop.
bool Retry(long result) { return result < 0 && errno == EINTR && !Interruption::Requested(); }

class TIdStackPosix : public TIdStack {
public:
    TIdStackSocketHandle CreateSocket(int family, int type, int protocol) override {
        int domain = family == Id_PF_INET ? AF_INET : family == Id_PF_INET6 ? AF_INET6 : family;
        int kind = type == Id_SOCK_STREAM ? SOCK_STREAM : type;
        int s = socket(domain, kind | SOCK_CLOEXEC, protocol);
        return s < 0 ? FailFromErrno() : s;
    }

    int Bind(TIdStackSocketHandle s, const std::string& ip, int port) override {
        SockAddr sa = ToSockAddr(ip, port, FamilyOfSocket(s));
        return bind(s, sa.get(), sa.length) < 0 ? FailFromErrno() : 0;
    }

    int CloseSocket(TIdStackSocketHandle s) override { return close(s) < 0 ? FailFromErrno() : 0; }

    int Listen(TIdStackSocketHandle s, int backlog) override {
        return listen(s, backlog) < 0 ? FailFromErrno() : 0;
    }

    TIdStackSocketHandle Accept(TIdStackSocketHandle s, TIdSocketAddress& peer) override {
        sockaddr_storage sa{};
        socklen_t length = sizeof sa;
        int accepted;
        do {
            accepted = accept4(s, reinterpret_cast<sockaddr*>(&sa), &length, SOCK_CLOEXEC);
        } while (Retry(accepted));
        if (accepted < 0) return FailFromErrno();
        FromSockAddr(reinterpret_cast<const sockaddr*>(&sa), peer);
        return accepted;
    }

    int Connect(TIdStackSocketHandle s, const std::string& ip, int port, int wakeFd) override {
        SockAddr sa = ToSockAddr(ip, port);
        if (wakeFd < 0) {
            int result;
            do {
                result = connect(s, sa.get(), sa.length);
            } while (Retry(result));
            return result < 0 ? FailFromErrno() : 0;
        }
        return ConnectInterruptible(s, sa, wakeFd);
    }

    std::string HostByName(const std::string& name) override {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
            Fail(Id_WSAHOST_NOT_FOUND);
            return "";
        }
        TIdSocketAddress address;
        FromSockAddr(found->ai_addr, address);
        freeaddrinfo(found);
        return address.IP;
    }

    std::vector<std::string> HostAddresses(const std::string& name) override {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        std::vector<std::string> addresses;
        if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
            Fail(Id_WSAHOST_NOT_FOUND);
            return addresses;
        }
        for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
            if (a->ai_family != AF_INET && a->ai_family != AF_INET6) continue;
            TIdSocketAddress address;
            FromSockAddr(a->ai_addr, address);
            if (std::find(addresses.begin(), addresses.end(), address.IP) == addresses.end())
                addresses.push_back(address.IP);
        }
        freeaddrinfo(found);
        if (addresses.empty()) Fail(Id_WSAHOST_NOT_FOUND);
        return addresses;
    }

    int Recv(TIdStackSocketHandle s, void* buffer, int length) override {
        ssize_t n;
        do {
            n = recv(s, buffer, static_cast<std::size_t>(length), 0);
        } while (Retry(n));
        return n < 0 ? FailFromErrno() : static_cast<int>(n);
    }

    int Send(TIdStackSocketHandle s, const void* buffer, int length) override {
        ssize_t n;
        do {
            // Once asked to stop nothing more goes out: after a partial send
            // the next one could block with no signal left to end it.
            if (Interruption::Requested()) {
                errno = EINTR;
                return FailFromErrno();
            }
            // No SIGPIPE: a peer that went away is an error code, not a signal.
            n = send(s, buffer, static_cast<std::size_t>(length), MSG_NOSIGNAL);
        } while (Retry(n));
        return n < 0 ? FailFromErrno() : static_cast<int>(n);
    }

    int Select(TIdSocketList* read, TIdSocketList* write, TIdSocketList* error, int timeout) override;

    int SetSockOpt(TIdStackSocketHandle s, int level, int option, int value) override {
        return setsockopt(s, level, option, &value, sizeof value) < 0 ? FailFromErrno() : 0;
    }

    int Shutdown(TIdStackSocketHandle s, int how) override {
        int mode = how == 0 ? SHUT_RD : how == 1 ? SHUT_WR : SHUT_RDWR;
        return shutdown(s, mode) < 0 ? FailFromErrno() : 0;
    }

    int WSGetLastError() override { return tLastError; }
    void WSSetLastError(int code) override { tLastError = code; }

    int GetPeerName(TIdStackSocketHandle s, TIdSocketAddress& address) override {
        return NameOf(s, address, getpeername);
    }
    int GetSockName(TIdStackSocketHandle s, TIdSocketAddress& address) override {
        return NameOf(s, address, getsockname);
    }

private:
    template <typename Call>
    static int NameOf(TIdStackSocketHandle s, TIdSocketAddress& address, Call call) {
        sockaddr_storage sa{};
        socklen_t length = sizeof sa;
        if (call(s, reinterpret_cast<sockaddr*>(&sa), &length) < 0) return FailFromErrno();
        FromSockAddr(reinterpret_cast<const sockaddr*>(&sa), address);
        return 0;
    }

    static int ConnectInterruptible(TIdStackSocketHandle s, const SockAddr& sa, int wakeFd);
};

// A non-blocking connect that waits for the socket or for the wake descriptor,
// so that the waiting thread can stop it without closing a descriptor another
// thread is blocked on.
int TIdStackPosix::ConnectInterruptible(TIdStackSocketHandle s, const SockAddr& sa, int wakeFd) {
    int flags = fcntl(s, F_GETFL);
    if (flags < 0 || fcntl(s, F_SETFL, flags | O_NONBLOCK) < 0) return FailFromErrno();
    int result = connect(s, sa.get(), sa.length);
    int error = result < 0 ? errno : 0;
    if (result < 0 && (error == EINPROGRESS || error == EINTR)) {
        pollfd fds[2] = {{s, POLLOUT, 0}, {wakeFd, POLLIN, 0}};
        if (PollRestarting(fds, 2, -1) < 0) {
            error = errno;
        } else if (fds[1].revents != 0) {
            error = ENOTSOCK;
        } else {
            socklen_t length = sizeof error;
            if (getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) < 0) error = errno;
        }
    }
    fcntl(s, F_SETFL, flags);
    return error != 0 ? Fail(WinsockCodeFromErrno(error)) : 0;
}

int TIdStackPosix::Select(TIdSocketList* read, TIdSocketList* write, TIdSocketList* error, int timeout) {
    // poll() rather than select(): descriptors above FD_SETSIZE are legal here.
    TIdSocketList* sets[3] = {read, write, error};
    const short events[3] = {POLLIN, POLLOUT, POLLPRI};
    std::vector<pollfd> fds;
    std::vector<int> setOf;
    for (int i = 0; i < 3; ++i) {
        if (sets[i] == nullptr) continue;
        for (TIdStackSocketHandle s : sets[i]->Sockets()) {
            fds.push_back({s, events[i], 0});
            setOf.push_back(i);
        }
    }
    int waitMs = timeout == IdTimeoutInfinite ? -1 : (timeout < 0 ? 0 : timeout);
    if (PollRestarting(fds.data(), fds.size(), waitMs) < 0) return FailFromErrno();
    // A closed or failed socket counts as readable, as the peer's close does.
    const short ready[3] = {POLLIN | POLLHUP | POLLERR, POLLOUT | POLLERR | POLLHUP, POLLPRI | POLLERR};
    std::vector<TIdStackSocketHandle> kept[3];
    for (std::size_t k = 0; k < fds.size(); ++k) {
        if (fds[k].revents & ready[setOf[k]]) kept[setOf[k]].push_back(fds[k].fd);
    }
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        if (sets[i] == nullptr) continue;
        count += static_cast<int>(kept[i].size());
        sets[i]->Assign(std::move(kept[i]));
    }
    return count;
}
}  // namespace

std::unique_ptr<TIdStack> CreatePlatformStack() { return std::make_unique<TIdStackPosix>(); }
