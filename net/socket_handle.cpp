#include "net/socket_handle.h"

#include <algorithm>

#include "net/anti_freeze.h"
#include "net/net_errors.h"
#include "platform/interruption.h"

namespace {
TIdStack& Stack() { return *SocketStack(); }
}  // namespace

void TIdSocketHandle::AllocateSocket(int type, int protocol, int family) {
    CloseSocket();
    TIdStackSocketHandle s = Stack().CreateSocket(family, type, protocol);
    if (s == Id_INVALID_SOCKET) throw EIdInvalidSocket();
    handle_ = s;
    open_ = true;
}

void TIdSocketHandle::Bind() {
    if (Stack().CheckSocketResult(Stack().Bind(handle_, IP, Port), {Id_WSAEADDRINUSE})) {
        throw EIdCouldNotBindSocket();
    }
    UpdateBindingLocal();
}

int TIdSocketHandle::Connect(int wakeFd) { return Stack().Connect(handle_, PeerIP, PeerPort, wakeFd); }

void TIdSocketHandle::Listen(int backlog) { Stack().CheckSocketResult(Stack().Listen(handle_, backlog)); }

bool TIdSocketHandle::Accept(const TIdSocketHandle& listener) {
    CloseSocket();
    TIdSocketAddress peer;
    const TIdStackSocketHandle s = Stack().Accept(listener.handle_, peer);
    if (Stack().CheckSocketResult(s, {Id_WSAECONNABORTED, Id_WSAECONNRESET})) return false;
    handle_ = s;
    open_ = true;
    PeerIP = peer.IP;
    PeerPort = peer.Port;
    UpdateBindingLocal();
    return true;
}

void TIdSocketHandle::CloseSocket() {
    if (!open_) return;
    open_ = false;
    Stack().Shutdown(handle_, 1);
    Stack().CloseSocket(handle_);
    handle_ = Id_INVALID_SOCKET;
}

void TIdSocketHandle::Reset() {
    CloseSocket();
    IP.clear();
    Port = 0;
    PeerIP.clear();
    PeerPort = 0;
}

bool TIdSocketHandle::Readable(int timeout) { return !ReadableOf({this}, timeout).empty(); }

std::vector<TIdSocketHandle*> TIdSocketHandle::ReadableOf(const std::vector<TIdSocketHandle*>& handles,
                                                          int timeout) {
    TIdSocketList read;
    const auto wait = [&](int slice) {
        std::vector<TIdStackSocketHandle> sockets;
        for (const TIdSocketHandle* h : handles) {
            if (!h->open_) throw EIdConnClosedGracefully();  // also when closed while pumping
            sockets.push_back(h->handle_);
        }
        read.Assign(std::move(sockets));
        return SelectSlice(read, slice);
    };
    bool readable = false;
    if (AntiFreezeInEffect()) {
        for (;;) {
            TIdAntiFreeze* af = RegisteredAntiFreeze();
            int slice = af != nullptr ? af->SliceMs() : timeout;
            if (timeout != IdTimeoutInfinite && timeout <= slice) break;
            if ((readable = wait(slice))) break;
            if (timeout != IdTimeoutInfinite) timeout -= slice;
        }
    }
    if (!readable) readable = wait(timeout);
    std::vector<TIdSocketHandle*> ready;
    if (!readable) return ready;
    for (TIdSocketHandle* h : handles) {
        const std::vector<TIdStackSocketHandle>& set = read.Sockets();
        if (std::find(set.begin(), set.end(), h->handle_) != set.end()) ready.push_back(h);
    }
    return ready;
}

bool TIdSocketHandle::SelectSlice(TIdSocketList& read, int timeout) {
    bool readable = Stack().Select(&read, nullptr, nullptr, timeout) > 0;
    Interruption::ThrowIfRequested();
    PumpIfAllowed(!readable, false);
    return readable;
}

int TIdSocketHandle::Recv(void* buffer, int length) { return Stack().Recv(handle_, buffer, length); }

int TIdSocketHandle::Send(const void* buffer, int length) { return Stack().Send(handle_, buffer, length); }

void TIdSocketHandle::SetSockOpt(int level, int option, int value) {
    Stack().CheckSocketResult(Stack().SetSockOpt(handle_, level, option, value));
}

void TIdSocketHandle::UpdateBindingLocal() {
    TIdSocketAddress address;
    Stack().CheckSocketResult(Stack().GetSockName(handle_, address));
    IP = address.IP;
    Port = address.Port;
}

void TIdSocketHandle::UpdateBindingPeer() {
    TIdSocketAddress address;
    Stack().CheckSocketResult(Stack().GetPeerName(handle_, address));
    PeerIP = address.IP;
    PeerPort = address.Port;
}
