#include "support/fake_transport.h"

#include <algorithm>
#include <cstring>

#include "net/net_errors.h"
#include "net/stack.h"

FakeTransport::FakeTransport(std::string serverBytes, std::size_t chunk)
    : pending_(std::move(serverBytes)), chunk_(chunk) {}

void FakeTransport::Close() {
    ++closeCalls_;
    connected_ = false;
}

void FakeTransport::ConnectClient(const std::string&, int, const std::string&, int, int) {
    connected_ = true;
}

bool FakeTransport::Readable(int) {
    if (!connected_) throw EIdConnClosedGracefully();
    return !pending_.empty() || !stayOpen_;
}

int FakeTransport::Recv(void* buffer, int length) {
    if (!connected_) throw EIdClosedSocket();
    ++recvCalls_;
    if (pending_.empty()) {
        if (recvFailure_ == 0) return 0;
        SocketStack()->WSSetLastError(recvFailure_);
        return Id_SOCKET_ERROR;
    }
    std::size_t n = std::min(pending_.size(), static_cast<std::size_t>(length));
    if (chunk_ != 0) n = std::min(n, chunk_);
    std::memcpy(buffer, pending_.data(), n);
    pending_.erase(0, n);
    return static_cast<int>(n);
}

int FakeTransport::Send(const void* buffer, int length) {
    if (!connected_) throw EIdClosedSocket();
    ++sendCalls_;
    if (sendCalls_ == failSendAt_) {
        SocketStack()->WSSetLastError(sendFailure_);
        return Id_SOCKET_ERROR;
    }
    std::size_t n = static_cast<std::size_t>(length);
    if (sendLimit_ != 0) n = std::min(n, sendLimit_);
    written_.append(static_cast<const char*>(buffer), n);
    return static_cast<int>(n);
}

FakeTransport& InstallFakeTransport(TIdTCPConnection& connection, std::string serverBytes, std::size_t chunk,
                                    bool connected) {
    auto transport = std::make_unique<FakeTransport>(std::move(serverBytes), chunk);
    FakeTransport& fake = *transport;
    if (!connected) fake.Open();
    connection.SetIOHandler(std::move(transport));
    return fake;
}
