#include "net/tcp_client.h"

#include "net/net_errors.h"

void TIdTCPClient::OpenConnection(int timeout) {
    if (IOHandler() == nullptr) {
        auto handler = std::make_unique<TIdIOHandlerSocket>();
        handler->OnStatus = OnStatus;
        AdoptOwnIOHandler(std::move(handler));
    } else if (IOHandler()->Connected()) {
        throw EIdAlreadyConnected();
    }
    try {
        IOHandler()->Open();
        ResetInputState();
        IOHandler()->ConnectClient(Host, Port, BoundIP, BoundPort, timeout);
    } catch (...) {
        ReleaseSocket();
        throw;
    }
    DoStatus(hsConnected, Host);
    if (OnConnected) OnConnected(*this);
}
