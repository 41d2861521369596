#pragma once
// The byte transport under a connection: the socket handler in the program,
// an in-memory transport in tests.
#include <memory>
#include <string>

#include "net/component.h"
#include "net/socket_handle.h"

class TIdIOHandler : public TIdComponent {
public:
    // Closes the transport; nothing when already closed.
    virtual void Close() = 0;
    // Connects to host:port within `timeout` ms (-1 or 0: default, -2: none).
    // Throws the socket and connect errors of net_errors.h.
    virtual void ConnectClient(const std::string& host, int port, const std::string& boundIP, int boundPort,
                               int timeout) = 0;
    virtual bool Connected() = 0;
    // Prepares a fresh, closed transport.
    virtual void Open() = 0;
    // As TIdSocketHandle::Readable.
    virtual bool Readable(int timeout) = 0;
    // Return the count transferred, 0 when the peer closed, -1 on failure
    // (code in the stack's last error). Throw EIdClosedSocket when closed.
    virtual int Recv(void* buffer, int length) = 0;
    virtual int Send(const void* buffer, int length) = 0;
};

class TIdIOHandlerSocket : public TIdIOHandler {
public:
    ~TIdIOHandlerSocket() override;

    bool UseNagle = true;

    // The socket record; null before the first Open.
    TIdSocketHandle* Binding() { return binding_.get(); }

    void Close() override;
    void ConnectClient(const std::string& host, int port, const std::string& boundIP, int boundPort,
                       int timeout) override;
    bool Connected() override;
    void Open() override;
    bool Readable(int timeout) override;
    int Recv(void* buffer, int length) override;
    int Send(const void* buffer, int length) override;

private:
    void ConnectWithTimeout(int timeout);

    std::unique_ptr<TIdSocketHandle> binding_;
};

// Default connect limit under the anti-freeze, in ms.
constexpr int IdDefaultConnectTimeout = 120000;
