#include <netinet/in.h>
#include <netinet/tcp.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "net/anti_freeze.h"
#include "net/connect_thread.h"
#include "net/io_handler.h"
#include "net/net_errors.h"
#include "platform/interruption.h"

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

// Every address of the host is tried in turn, all within the one time limit;
// the last address's failure is the one raised.
void TIdIOHandlerSocket::ConnectClient(const std::string& host, int port, const std::string& boundIP,
                                       int boundPort, int timeout) {
    TIdSocketHandle& b = *binding_;
    const std::string target = TIdStack::WithoutBrackets(host);
    if (!TIdStack::IsIPLiteral(target)) DoStatus(hsResolving, host);
    std::vector<std::string> addresses = SocketStack()->LookUpHostAddresses(target);
    if (!boundIP.empty()) {
        // A local address of one family cannot reach the other.
        const int family = TIdStack::FamilyOf(boundIP);
        std::erase_if(addresses, [&](const std::string& a) { return TIdStack::FamilyOf(a) != family; });
        if (addresses.empty()) addresses.push_back(target);
    }
    if (timeout == -1 || timeout == 0) timeout = AntiFreezeInEffect() ? IdDefaultConnectTimeout : 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout > 0 ? timeout : 0);
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        b.AllocateSocket(Id_SOCK_STREAM, 0, TIdStack::FamilyOf(addresses[i]));
        b.IP = boundIP;
        b.Port = boundPort;
        b.Bind();
        b.PeerIP = addresses[i];
        b.PeerPort = port;
        if (!UseNagle) b.SetSockOpt(IPPROTO_TCP, TCP_NODELAY, 1);
        DoStatus(hsConnecting, b.PeerIP);
        try {
            if (timeout > 0) {
                auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                if (left.count() <= 0) throw EIdConnectTimeout();
                ConnectWithTimeout(static_cast<int>(left.count()));
            } else if (timeout == IdTimeoutInfinite) {
                ConnectWithTimeout(timeout);
            } else {
                SocketStack()->CheckSocketResult(b.Connect());
            }
            break;
        } catch (const EIdConnectTimeout&) {
            throw;
        } catch (const EIdException&) {
            if (i + 1 == addresses.size()) throw;
            b.CloseSocket();
        }
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
        if (Interruption::Requested()) break;
        remaining = unlimited ? step + 1 : remaining - step;
        PumpIfAllowed(true, false);
    }
    if (!finished && !Interruption::Requested()) finished = thread.WaitFor(remaining);
    if (!finished) {
        thread.Terminate();
        Close();
        Interruption::ThrowIfRequested();
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
