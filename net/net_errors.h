#pragma once
// Every error the network layer raises, with its fixed French text. Tests
// refer to these classes and texts rather than repeating the literals.
#include <string>

#include "platform/id_exception.h"
#include "platform/text.h"

// A failed socket call: the translated text of the code, and the code itself
// (Winsock numbering, whatever the platform's own numbers are).
class EIdSocketError : public EIdException {
public:
    EIdSocketError(int code, std::string message) : EIdException(std::move(message)), code_(code) {}
    int LastError() const noexcept { return code_; }

    VANNOIR_ERROR_KIND(Network)
    VANNOIR_ERROR_CAUSE(Unreachable)
private:
    int code_;
};
VANNOIR_LIST_ERROR(EIdSocketError, 10061, std::string("x"));

// The server's reply was not one the command accepts; carries the reply code.
class EIdProtocolReplyError : public EIdException {
public:
    EIdProtocolReplyError(int code, std::string message) : EIdException(std::move(message)), code_(code) {}
    int ReplyErrorCode() const noexcept { return code_; }

    VANNOIR_ERROR_KIND(Server)
private:
    int code_;
};
VANNOIR_LIST_ERROR(EIdProtocolReplyError, 2, std::string("x"));

// A connect in a worker thread failed; the message is the socket error's text.
class EIdConnectException : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Network)
    VANNOIR_ERROR_CAUSE(Unreachable)
};
VANNOIR_LIST_ERROR(EIdConnectException, std::string("x"));

VANNOIR_DECLARE_ERROR(EIdStackSetSizeExceeded, EIdException, Other, "Taille d'ensemble dépassée.");
VANNOIR_DECLARE_ERROR(EIdInvalidSocket, EIdException, Network, "Impossible d'allouer le socket.");
VANNOIR_DECLARE_ERROR(EIdAlreadyConnected, EIdException, Other, "Déjà connecté.");
VANNOIR_DECLARE_ERROR(EIdCouldNotBindSocket, EIdException, Network,
                      "Impossible d'établir une liaison avec le socket. "
                      "L'adresse et le port sont déjà utilisés.");
VANNOIR_DECLARE_CAUSED_ERROR(EIdConnectTimeout, EIdException, Network, Unreachable, "Délai de connexion.");
VANNOIR_DECLARE_CAUSED_ERROR(EIdConnClosedGracefully, EIdException, Network, Dropped,
                             "La connexion s'est terminée proprement.");
VANNOIR_DECLARE_CAUSED_ERROR(EIdClosedSocket, EIdException, Network, Dropped, "Déconnecté.");
VANNOIR_DECLARE_CAUSED_ERROR(EIdNotConnected, EIdException, Network, Dropped, "Non connecté");
VANNOIR_DECLARE_CAUSED_ERROR(EIdReadTimeout, EIdException, Network, Silent, "Délai de lecture");
VANNOIR_DECLARE_ERROR(EIdReadLnMaxLineLengthExceeded, EIdException, Server,
                      "Longueur de ligne maximum dépassée.");
VANNOIR_DECLARE_ERROR(EIdNotEnoughDataInBuffer, EIdException, Server,
                      "Pas suffisamment de données en mémoire tampon.");
