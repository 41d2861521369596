#pragma once
// A connection that opens itself to Host:Port, reporting its progress through
// OnStatus: "Résolution du nom d'hôte %s." (for a name), "Connexion à %s.",
// "Connecté.".
#include <functional>
#include <string>

#include "net/tcp_connection.h"

class TIdTCPClient : public TIdTCPConnection {
public:
    std::string Host;
    int Port = 0;
    std::string BoundIP;
    int BoundPort = 0;
    std::function<void(TIdTCPClient& ASender)> OnConnected;

    // Connects within `timeout` ms: -1 or 0 is the default (120000 ms through
    // a worker thread under the anti-freeze, else one blocking connect), -2
    // no limit. Throws EIdAlreadyConnected while connected (the connection
    // stays usable), and the socket and connect errors of net_errors.h; after
    // those the socket is closed and the handler kept for the next attempt.
    virtual void OpenConnection(int timeout = -1);
};
