#include "net/stack.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <memory>
#include <mutex>

#include "net/net_errors.h"
#include "net/socket_error_codes.h"
#include "platform/interruption.h"
#include "platform/text.h"

std::unique_ptr<TIdStack> CreatePlatformStack();  // stack_posix.cpp

// --- TIdSocketList ----------------------------------------------------------

void TIdSocketList::Add(TIdStackSocketHandle socket) {
    if (Count() >= IdMaxSocketSetSize) throw EIdStackSetSizeExceeded();
    sockets_.push_back(socket);
}

void TIdSocketList::Assign(std::vector<TIdStackSocketHandle> sockets) {
    if (static_cast<int>(sockets.size()) > IdMaxSocketSetSize) throw EIdStackSetSizeExceeded();
    sockets_ = std::move(sockets);
}

// --- TIdStack ----------------------------------------------------------------

namespace {
// The four dot-separated fields; a missing dot leaves the later fields empty
// and the last field keeps any further dots.
std::array<std::string, 4> SplitIPv4Fields(std::string_view text) {
    std::string rest(text);
    std::array<std::string, 4> fields;
    for (int i = 0; i < 3; ++i) fields[i] = SplitAt(rest, ".");
    fields[3] = rest;
    return fields;
}
}  // namespace

bool TIdStack::IsIPv4Literal(std::string_view text) {
    for (const std::string& field : SplitIPv4Fields(text)) {
        std::optional<std::int32_t> value = TryStrToInt(field);
        if (!value || *value < 0 || *value > 255) return false;
    }
    return true;
}

bool TIdStack::IsIPv6Literal(std::string_view text) {
    std::string bare = WithoutBrackets(text);
    if (bare.find(':') == std::string::npos) return false;
    in6_addr addr{};
    return inet_pton(AF_INET6, bare.c_str(), &addr) == 1;
}

std::string TIdStack::WithoutBrackets(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    return std::string(host);
}

int TIdStack::FamilyOf(std::string_view ip) {
    return ip.find(':') != std::string_view::npos ? Id_PF_INET6 : Id_PF_INET;
}

std::vector<std::string> TIdStack::LookUpHostAddresses(const std::string& host) {
    if (SameText(host, "LOCALHOST") || IsIPv4Literal(host)) return {LookUpHost(host)};
    if (IsIPv6Literal(host)) return {WithoutBrackets(host)};
    std::vector<std::string> found = HostAddresses(host);
    if (found.empty()) CheckSocketResult(Id_SOCKET_ERROR);
    return found;
}

std::string TIdStack::LookUpHost(const std::string& host) {
    if (SameText(host, "LOCALHOST")) return "127.0.0.1";
    if (IsIPv4Literal(host)) return host;
    std::string ip = HostByName(host);
    if (ip.empty()) CheckSocketResult(Id_SOCKET_ERROR);
    return ip;
}

bool TIdStack::CheckSocketResult(int result, std::initializer_list<int> tolerated) {
    if (result != Id_SOCKET_ERROR) return false;
    int code = WSGetLastError();
    lastError_.store(code);
    for (int t : tolerated) {
        if (t == code) return true;
    }
    ThrowSocketError(code);
}

void TIdStack::ThrowSocketError(int code) {
    // A call cut short by a request to stop is that request, not a socket fault.
    if (code == Id_WSAEINTR) Interruption::ThrowIfRequested();
    throw EIdSocketError(code, TranslateSocketError(code));
}

std::string TIdStack::TranslateSocketError(int code) {
    return std::string("Erreur de socket # ") + IntToStr(code) + "\r\n" + std::string(SocketErrorText(code));
}

std::array<std::uint8_t, 4> TIdStack::TranslateStringToTInAddr(std::string_view ip) {
    std::array<std::string, 4> fields = SplitIPv4Fields(ip);
    std::array<std::uint8_t, 4> addr{};
    for (int i = 0; i < 4; ++i) addr[i] = static_cast<std::uint8_t>(StrToIntDef(fields[i], 0));
    return addr;
}

std::string TIdStack::TranslateTInAddrToString(const std::array<std::uint8_t, 4>& addr) {
    return IntToStr(addr[0]) + "." + IntToStr(addr[1]) + "." + IntToStr(addr[2]) + "." + IntToStr(addr[3]);
}

// --- Process-wide stack ------------------------------------------------------

namespace {
struct StackState {
    std::mutex lock;
    int users = 0;
    std::unique_ptr<TIdStack> stack;
    std::atomic<TIdStack*> current{nullptr};
};

StackState& State() {
    static StackState state;
    return state;
}
}  // namespace

TIdStack* SocketStack() { return State().current.load(); }

void AcquireSocketStack() {
    StackState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (++state.users == 1) {
        state.stack = CreatePlatformStack();
        state.current.store(state.stack.get());
    }
}

void ReleaseSocketStack() {
    StackState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (--state.users == 0) {
        state.current.store(nullptr);
        state.stack.reset();
    }
}
