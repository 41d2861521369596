#pragma once
// One platform socket with its local and peer addresses. Either open (a valid
// socket) or closed (no socket). Opened only by AllocateSocket, closed only by
// CloseSocket.
#include <string>
#include <vector>

#include "net/stack.h"

class TIdSocketHandle {
public:
    TIdSocketHandle() = default;
    ~TIdSocketHandle() { CloseSocket(); }
    TIdSocketHandle(const TIdSocketHandle&) = delete;
    TIdSocketHandle& operator=(const TIdSocketHandle&) = delete;

    TIdStackSocketHandle Handle() const { return handle_; }
    bool HandleAllocated() const { return open_; }

    // Creates the socket. Throws EIdInvalidSocket.
    void AllocateSocket(int type = Id_SOCK_STREAM, int protocol = 0, int family = Id_PF_INET);
    // Binds to IP and Port (empty / 0: any) and reads back the local address.
    // Throws EIdCouldNotBindSocket for an address in use, else EIdSocketError.
    void Bind();
    // connect() to PeerIP:PeerPort; returns the call's result (-1 on failure,
    // checked by the caller). wakeFd as for TIdStack::Connect.
    int Connect(int wakeFd = -1);
    // Listens for connections. Throws EIdSocketError.
    void Listen(int backlog);
    // Takes the next connection waiting on `listener`, with its addresses;
    // false when it went away before it could be taken.
    bool Accept(const TIdSocketHandle& listener);
    // Shut down for sending, then close. Nothing when already closed.
    void CloseSocket();
    // Closed, addresses cleared, ports 0.
    void Reset();
    // True when data, or the peer's close, can be read within `timeout` ms
    // (-2: no limit). Under the anti-freeze the wait is cut into IdleTimeOut
    // slices with the window system pumped after each empty one.
    // Throws EIdConnClosedGracefully when the socket is closed.
    bool Readable(int timeout);
    // The handles of `handles` that turn readable (data, a connection to
    // accept, or the peer's close) within `timeout` ms, in their order;
    // empty at the limit. The same sliced wait as Readable's.
    static std::vector<TIdSocketHandle*> ReadableOf(const std::vector<TIdSocketHandle*>& handles,
                                                    int timeout);
    int Recv(void* buffer, int length);
    int Send(const void* buffer, int length);
    void SetSockOpt(int level, int option, int value);
    void UpdateBindingLocal();
    void UpdateBindingPeer();

    std::string IP;
    int Port = 0;
    std::string PeerIP;
    int PeerPort = 0;

private:
    static bool SelectSlice(TIdSocketList& read, int timeout);

    TIdStackSocketHandle handle_ = Id_INVALID_SOCKET;
    bool open_ = false;
};
