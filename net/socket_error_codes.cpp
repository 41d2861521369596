#include "net/socket_error_codes.h"

#include <cerrno>

namespace {
struct ErrnoCode {
    int error;
    int code;
};

// Every row of the Winsock table that has a POSIX counterpart. EPIPE is what
// a send after a shutdown gives here; Winsock says 10058 for that.
constexpr ErrnoCode kErrnoCodes[] = {
    {EINTR, 10004},         {EBADF, 10009},        {EACCES, 10013},          {EFAULT, 10014},
    {EINVAL, 10022},        {EMFILE, 10024},       {EWOULDBLOCK, 10035},     {EINPROGRESS, 10036},
    {EALREADY, 10037},      {ENOTSOCK, 10038},     {EDESTADDRREQ, 10039},    {EMSGSIZE, 10040},
    {EPROTOTYPE, 10041},    {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044},
    {EOPNOTSUPP, 10045},    {EPFNOSUPPORT, 10046}, {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},
    {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},     {ENETUNREACH, 10051},     {ENETRESET, 10052},
    {ECONNABORTED, 10053},  {ECONNRESET, 10054},   {ENOBUFS, 10055},         {EISCONN, 10056},
    {ENOTCONN, 10057},      {ESHUTDOWN, 10058},    {EPIPE, 10058},           {ETOOMANYREFS, 10059},
    {ETIMEDOUT, 10060},     {ECONNREFUSED, 10061}, {ELOOP, 10062},           {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},     {EHOSTUNREACH, 10065}, {ENOTEMPTY, 10066},
};

struct CodeText {
    int code;
    const char* text;  // UTF-8 source, converted by the caller
};

constexpr CodeText kTexts[] = {
    {10004, "Appel système interrompu."},
    {10009, "Nombre de fichiers incorrect."},
    {10013, "Accès refusé."},
    {10014, "Adresse incorrecte."},
    {10022, "Argument incorrect."},
    {10024, "Trop de fichiers ouverts."},
    {10035, "L'opération risquerait de bloquer. "},
    {10036, "Opération en cours."},
    {10037, "Opération déjà en cours."},
    {10038, "Opération socket sur cible non-socket."},
    {10039, "Adresse de destination requise."},
    {10040, "Message trop long."},
    {10041, "Type de protocole inapproprié pour le socket."},
    {10042, "Option de protocole incorrecte."},
    {10043, "Protocole non supporté."},
    {10044, "Type de socket non supporté."},
    {10045, "Opération non supportée sur un socket."},
    {10046, "Famille de protocole non supportée."},
    {10047, "Famille d'adresse non supportée par la famille de protocole."},
    {10048, "Adresse déjà utilisée."},
    {10049, "Impossible d'affecter l'adresse requise."},
    {10050, "Le réseau est arrêté."},
    {10051, "Le réseau est inaccessible."},
    {10052, "Connexion interrompue ou réinitialisée par le réseau."},
    {10053, "Le logiciel a provoqué l'interruption de la connexion."},
    {10054, "Connexion réinitialisée par l'homologue (peer)."},
    {10055, "Aucun espace tampon disponible."},
    {10056, "Socket déjà connecté."},
    {10057, "Le socket n'est pas connecté."},
    {10058, "Envoi ou réception impossible après la fermeture du socket."},
    {10059, "Références trop nombreuses, attribution impossible."},
    {10060, "Délai de connexion dépassé."},
    {10061, "Connexion refusée."},
    {10062, "Trop de niveaux de liens symboliques."},
    {10063, "Nom de fichier trop long."},
    {10064, "Hôte arrêté."},
    {10065, "Pas de route vers l'hôte."},
    {10066, "Répertoire non vide"},
    {11001, "Hôte non trouvé."},
};
}  // namespace

int WinsockCodeFromErrno(int error) {
    for (const ErrnoCode& row : kErrnoCodes) {
        if (row.error == error) return row.code;
    }
    return error;
}

const char* SocketErrorText(int code) {
    for (const CodeText& row : kTexts) {
        if (row.code == code) return row.text;
    }
    return "";
}
