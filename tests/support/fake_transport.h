#pragma once
// In-memory transport for connection tests: serves the server's bytes in
// pieces of a chosen size (one piece per receive) and records every byte the
// client writes.
//
//   auto t = std::make_unique<FakeTransport>("+OK ready\r\n", /*chunk*/ 1);
//   FakeTransport& fake = *t;
//   TIdTCPConnection c;  c.SetIOHandler(std::move(t));
//   EXPECT_EQ(c.ReadLine(), "+OK ready");
//   EXPECT_EQ(fake.Written(), "");
//
// When the bytes run out the peer closes (a receive gives 0), unless
// SetStayOpen(true): then the transport never becomes readable again, so a
// further read ends in the connection's read timeout (set ReadTimeout).
#include <cstddef>
#include <string>
#include <string_view>

#include "net/io_handler.h"
#include "net/tcp_connection.h"

class FakeTransport : public TIdIOHandler {
public:
    explicit FakeTransport(std::string serverBytes = "", std::size_t chunk = 0);

    // More bytes for the client to read.
    void Feed(std::string_view bytes) { pending_ += bytes; }
    void SetStayOpen(bool stayOpen) { stayOpen_ = stayOpen; }
    // Once the bytes run out, receives fail with this Winsock code instead.
    void SetRecvFailure(int code) { recvFailure_ = code; }
    // Sends take at most this many bytes each (0: all).
    void SetSendLimit(std::size_t limit) { sendLimit_ = limit; }
    // The n-th send (1-based) fails with `code`; 0 for none.
    void FailSend(int n, int code) {
        failSendAt_ = n;
        sendFailure_ = code;
    }

    const std::string& Written() const { return written_; }
    std::size_t Unread() const { return pending_.size(); }
    int RecvCalls() const { return recvCalls_; }
    int SendCalls() const { return sendCalls_; }
    int CloseCalls() const { return closeCalls_; }

    void Close() override;
    void ConnectClient(const std::string& host, int port, const std::string& boundIP, int boundPort,
                       int timeout) override;
    bool Connected() override { return connected_; }
    void Open() override { connected_ = false; }
    bool Readable(int timeout) override;
    int Recv(void* buffer, int length) override;
    int Send(const void* buffer, int length) override;

private:
    std::string pending_;
    std::size_t chunk_;
    bool stayOpen_ = false;
    int recvFailure_ = 0;
    std::size_t sendLimit_ = 0;
    int failSendAt_ = 0;
    int sendFailure_ = 0;
    bool connected_ = true;
    std::string written_;
    int recvCalls_ = 0;
    int sendCalls_ = 0;
    int closeCalls_ = 0;
};

// Puts a new fake transport under `connection` and returns it. Not connected
// (`connected` false) it is what a client's OpenConnection will connect.
FakeTransport& InstallFakeTransport(TIdTCPConnection& connection, std::string serverBytes,
                                    std::size_t chunk = 0, bool connected = true);
