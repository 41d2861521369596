#include "net/socket_handle.h"

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

bool TIdSocketHandle::Readable(int timeout) {
    if (!open_) throw EIdConnClosedGracefully();
    if (AntiFreezeInEffect()) {
        for (;;) {
            TIdAntiFreeze* af = RegisteredAntiFreeze();
            int slice = af != nullptr ? af->SliceMs() : timeout;
            if (timeout != IdTimeoutInfinite && timeout <= slice) break;
            if (SelectSlice(slice)) return true;
            if (timeout != IdTimeoutInfinite) timeout -= slice;
            if (!open_) throw EIdConnClosedGracefully();  // closed while pumping
        }
    }
    return SelectSlice(timeout);
}

bool TIdSocketHandle::SelectSlice(int timeout) {
    TIdSocketList read;
    read.Add(handle_);
    bool readable = Stack().Select(&read, nullptr, nullptr, timeout) == 1;
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
