#include <netinet/in.h>
#include <netinet/tcp.h>

#include <algorithm>

#include "net/anti_freeze.h"
#include "net/connect_thread.h"
#include "net/io_handler.h"
#include "net/net_errors.h"

TIdIOHandlerSocket::~TIdIOHandlerSocket() { Close(); }

void TIdIOHandlerSocket::Close() {
    if (binding_) binding_->CloseSocket();
}

bool TIdIOHandlerSocket::Connected() { return binding_ && binding_->HandleAllocated(); }

void TIdIOHandlerSocket::Open() {
    if (binding_) {
        binding_->Reset();
    } else {
        binding_ = std::make_unique<TIdSocketHandle>();
    }
}

void TIdIOHandlerSocket::ConnectClient(const std::string& host, int port, const std::string& boundIP,
                                       int boundPort, int timeout) {
    TIdSocketHandle& b = *binding_;
    b.AllocateSocket();
    b.IP = boundIP;
    b.Port = boundPort;
    b.Bind();
    if (!TIdStack::IsIPv4Literal(host)) DoStatus(hsResolving, host);
    b.PeerIP = SocketStack()->LookUpHost(host);
    b.PeerPort = port;
    if (!UseNagle) b.SetSockOpt(IPPROTO_TCP, TCP_NODELAY, 1);
    DoStatus(hsConnecting, b.PeerIP);
    if (timeout != -1 && timeout != 0) {
        ConnectWithTimeout(timeout);
    } else if (AntiFreezeInEffect()) {
        ConnectWithTimeout(IdDefaultConnectTimeout);
    } else {
        SocketStack()->CheckSocketResult(b.Connect());
    }
    b.UpdateBindingLocal();
    b.UpdateBindingPeer();
}

// The connect runs in a worker thread; this thread waits in steps of 125 ms
// (shorter under a shorter IdleTimeOut) and pumps the window system between
// them. A finished connect ends the wait at once.
void TIdIOHandlerSocket::ConnectWithTimeout(int timeout) {
    TIdConnectThread thread(*binding_);
    thread.Start();
    int step = 125;
    if (AntiFreezeInEffect()) step = std::min(RegisteredAntiFreeze()->SliceMs(), step);
    bool unlimited = timeout == IdTimeoutInfinite;
    int remaining = unlimited ? step + 1 : timeout;
    bool finished = false;
    while (step < remaining) {
        if ((finished = thread.WaitFor(step))) break;
        remaining = unlimited ? step + 1 : remaining - step;
        PumpIfAllowed(true, false);
    }
    if (!finished) finished = thread.WaitFor(remaining);
    if (!finished) {
        thread.Terminate();
        Close();
        throw EIdConnectTimeout();
    }
    thread.Terminate();  // joins the finished thread
    if (!thread.ExceptionMessage().empty()) throw EIdConnectException(thread.ExceptionMessage());
}

bool TIdIOHandlerSocket::Readable(int timeout) {
    if (!binding_) throw EIdConnClosedGracefully();
    return binding_->Readable(timeout);
}

int TIdIOHandlerSocket::Recv(void* buffer, int length) {
    if (!Connected()) throw EIdClosedSocket();
    return binding_->Recv(buffer, length);
}

int TIdIOHandlerSocket::Send(const void* buffer, int length) {
    if (!Connected()) throw EIdClosedSocket();
    return binding_->Send(buffer, length);
}
