#pragma once
// Errors of the STLS negotiation. Neither leaves a way to go on in clear.
#include "platform/id_exception.h"
#include "platform/text.h"

// STLS is required and the server's capabilities do not list it.
VANNOIR_DECLARE_CAUSED_ERROR(
    EIdPOP3StlsNotOffered, EIdException, Network, Tls,
    "Le serveur ne propose pas STLS : la connexion chiffrée demandée est impossible, "
    "rien n'a été envoyé en clair.");
// The server answered "STLS" with "-ERR"; the text carries its reply.
VANNOIR_DECLARE_CAUSED_ERROR(EIdPOP3StlsRefused, EIdException, Network, Tls, "Le serveur a refusé STLS : ");
