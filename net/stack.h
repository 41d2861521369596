#pragma once
// The one place that calls the operating system's socket interface. Addresses
// are dotted IPv4 strings or textual IPv6 addresses, ports host-order integers; every failure code is
// reported in Winsock numbering (10061 for a refused connection, 11001 for a
// name that does not resolve, ...) because those numbers appear in messages.
#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

using TIdStackSocketHandle = int;
constexpr TIdStackSocketHandle Id_INVALID_SOCKET = -1;
constexpr int Id_SOCKET_ERROR = -1;
constexpr int Id_PF_INET = 2;
constexpr int Id_PF_INET6 = 23;
constexpr int Id_SOCK_STREAM = 1;
// Timeout that waits without limit.
constexpr int IdTimeoutInfinite = -2;
// How many sockets one select set may hold.
constexpr int IdMaxSocketSetSize = 64;

// Winsock codes the connection layers test for.
constexpr int Id_WSAEINTR = 10004;
constexpr int Id_WSAEBADF = 10009;
constexpr int Id_WSAENOTSOCK = 10038;
constexpr int Id_WSAEADDRINUSE = 10048;
constexpr int Id_WSAECONNABORTED = 10053;
constexpr int Id_WSAECONNRESET = 10054;
constexpr int Id_WSAESHUTDOWN = 10058;
constexpr int Id_WSAETIMEDOUT = 10060;
constexpr int Id_WSAECONNREFUSED = 10061;
constexpr int Id_WSAHOST_NOT_FOUND = 11001;

// A set of sockets for Select, at most IdMaxSocketSetSize of them.
// Add throws EIdStackSetSizeExceeded when the set is full.
class TIdSocketList {
public:
    void Add(TIdStackSocketHandle socket);
    int Count() const { return static_cast<int>(sockets_.size()); }
    const std::vector<TIdStackSocketHandle>& Sockets() const { return sockets_; }
    void Assign(std::vector<TIdStackSocketHandle> sockets);

private:
    std::vector<TIdStackSocketHandle> sockets_;
};

// Address and port of one end of a socket.
struct TIdSocketAddress {
    int Family = 0;
    std::string IP;
    int Port = 0;
};

class TIdStack {
public:
    virtual ~TIdStack() = default;

    // "127.0.0.1" for localhost (any case), an IPv4 literal unchanged, else the
    // first address the name resolves to. Throws EIdSocketError (11001) when
    // the name does not resolve.
    std::string LookUpHost(const std::string& host);
    // Every address of a host to try in turn: localhost and an address
    // literal (an IPv6 one with or without brackets) as LookUpHost gives
    // them, else what the name resolves to, IPv6 and IPv4. Throws
    // EIdSocketError (11001) when the name does not resolve.
    std::vector<std::string> LookUpHostAddresses(const std::string& host);
    // Four dot-separated fields, each a whole integer in 0..255.
    static bool IsIPv4Literal(std::string_view text);
    // A textual IPv6 address, with or without surrounding brackets.
    static bool IsIPv6Literal(std::string_view text);
    static bool IsIPLiteral(std::string_view text) { return IsIPv4Literal(text) || IsIPv6Literal(text); }
    // The text without the brackets of a bracketed IPv6 literal.
    static std::string WithoutBrackets(std::string_view host);
    // Id_PF_INET6 for an IPv6 address, else Id_PF_INET.
    static int FamilyOf(std::string_view ip);
    // false for a result other than -1. For -1, stores the platform's last
    // error in LastError and returns true when it is one of `tolerated`;
    // throws EIdSocketError for any other code.
    bool CheckSocketResult(int result, std::initializer_list<int> tolerated = {});
    [[noreturn]] void ThrowSocketError(int code);
    // "Erreur de socket # <code>\r\n<text>", text empty for an unknown code.
    static std::string TranslateSocketError(int code);
    int LastError() const { return lastError_.load(); }

    // Dotted string <-> the four address bytes, first field first. A field
    // that is not an integer gives 0 (callers check IsIPv4Literal first).
    static std::array<std::uint8_t, 4> TranslateStringToTInAddr(std::string_view ip);
    static std::string TranslateTInAddrToString(const std::array<std::uint8_t, 4>& addr);

    // The platform calls. Each returns what the call returns (-1 on failure,
    // the code then readable through WSGetLastError on the calling thread).
    virtual TIdStackSocketHandle CreateSocket(int family, int type, int protocol) = 0;
    // Empty ip: any address; port 0: any port.
    virtual int Bind(TIdStackSocketHandle s, const std::string& ip, int port) = 0;
    virtual int CloseSocket(TIdStackSocketHandle s) = 0;
    virtual int Listen(TIdStackSocketHandle s, int backlog) = 0;
    // The next connection waiting on a listening socket, its peer in `peer`;
    // Id_INVALID_SOCKET on failure.
    virtual TIdStackSocketHandle Accept(TIdStackSocketHandle s, TIdSocketAddress& peer) = 0;
    // A wake descriptor >= 0 makes the call interruptible: once that
    // descriptor turns readable the connect gives up with 10038, as if the
    // socket had been closed under it.
    virtual int Connect(TIdStackSocketHandle s, const std::string& ip, int port, int wakeFd = -1) = 0;
    // First IPv4 address of a name, or empty (last error 11001).
    virtual std::string HostByName(const std::string& name) = 0;
    // Every address of a name, IPv6 and IPv4, in the system's order of
    // preference; empty when it does not resolve (last error 11001).
    virtual std::vector<std::string> HostAddresses(const std::string& name) = 0;
    virtual int Recv(TIdStackSocketHandle s, void* buffer, int length) = 0;
    virtual int Send(TIdStackSocketHandle s, const void* buffer, int length) = 0;
    // Waits until a socket of a set is ready; timeout in ms, -2 without limit.
    // Returns the number of ready sockets (0 on timeout, -1 on error) and
    // leaves only the ready sockets in the sets. Sets may be null.
    virtual int Select(TIdSocketList* read, TIdSocketList* write, TIdSocketList* error, int timeout) = 0;
    virtual int SetSockOpt(TIdStackSocketHandle s, int level, int option, int value) = 0;
    virtual int Shutdown(TIdStackSocketHandle s, int how) = 0;
    virtual int WSGetLastError() = 0;
    // Sets this thread's last error (for transports that are not sockets).
    virtual void WSSetLastError(int code) = 0;
    virtual int GetPeerName(TIdStackSocketHandle s, TIdSocketAddress& address) = 0;
    virtual int GetSockName(TIdStackSocketHandle s, TIdSocketAddress& address) = 0;

private:
    // Written by whichever thread's call last failed through CheckSocketResult.
    std::atomic<int> lastError_{0};
};

// The process-wide stack: it exists while at least one network component
// exists (see TIdComponent). Null otherwise.
TIdStack* SocketStack();
// Component count, under the stack lock: the first user creates the stack,
// the last one frees it.
void AcquireSocketStack();
void ReleaseSocketStack();
