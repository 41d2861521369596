#pragma once
// Texts of the errors the POP3 client raises itself (UTF-8 source; pass them
// through Ansi). Reply errors carry the server's own text instead.
#include <string>

#include "net/net_errors.h"
#include "platform/id_exception.h"
#include "platform/text.h"

namespace pop3_text {
// Followed by the reply lines, each ending in CR LF, then a closing quote.
inline constexpr const char* kUnrecognisedReply = "En-tête de réponse POP3 non reconnu :\n\"";
inline constexpr const char* kNoApopTimestamp = "Le serveur ne supporte pas APOP (pas d'horodatage)";
// Followed by the number as the server sent it, then a closing quote and ".".
inline constexpr const char* kNegativeCount = "Réponse POP3 incorrecte : nombre négatif \"";
inline constexpr const char* kListingTooLarge =
    "Réponse POP3 trop volumineuse : plus de 16 Mo ou de 1 000 000 lignes. La connexion est coupée.";
// An answer that names another message than the one asked, or answers that
// do not match the commands sent: what it refers to is unknown.
inline constexpr const char* kAnswerMismatch =
    "Réponse POP3 incorrecte : la réponse ne correspond pas à la commande envoyée. "
    "La connexion est coupée sans rien supprimer.";
// A status note: the session goes on one command at a time.
inline constexpr const char* kBatchUnanswered =
    "Le serveur ne répond pas aux commandes envoyées d'avance : elles partent désormais une à une.";
inline constexpr const char* kBatchWithDeletionUnanswered =
    "Le serveur ne répond pas aux commandes envoyées d'avance, dont une suppression. "
    "La connexion est coupée sans rien supprimer.";
inline constexpr const char* kBadListing =
    "Réponse POP3 incorrecte : liste de messages invalide (numéro répété ou hors limites, "
    "taille négative ou non numérique). La connexion est coupée.";
}  // namespace pop3_text

// A reply that begins with neither "+OK" nor "-ERR"; the text carries the reply.
VANNOIR_DECLARE_ERROR(EIdPOP3UnrecognisedReply, EIdException, Server, pop3_text::kUnrecognisedReply);
// APOP asked of a server whose greeting has no time stamp.
VANNOIR_DECLARE_ERROR(EIdPOP3NoApopTimestamp, EIdException, Server, pop3_text::kNoApopTimestamp);

// A message count (STAT) or size (LIST) below zero.
VANNOIR_DECLARE_ERROR(EIdPOP3NegativeCount, EIdException, Server, pop3_text::kNegativeCount);

// A listing (CAPA, LIST, UIDL) past TIdPOP3::MaxListingBytes or MaxListingLines.
VANNOIR_DECLARE_ERROR(EIdPOP3ListingTooLarge, EIdException, Server, pop3_text::kListingTooLarge);

// A user name or password that holds CR, LF or NUL: sent as it is, it would
// end the command early and let the rest pass for further commands.
VANNOIR_DECLARE_ERROR(EIdPOP3UnsafeCredentials, EIdException, Account,
                      "Le nom d'utilisateur ou le mot de passe contient un caractère interdit "
                      "(retour chariot, saut de ligne ou caractère nul).");

// An answer naming a message number other than the one asked, or more
// answers than commands; the connection was dropped without QUIT.
VANNOIR_DECLARE_ERROR(EIdPOP3AnswerMismatch, EIdException, Server, pop3_text::kAnswerMismatch);
// A LIST or UIDL listing line with a number outside 1 to the count, a number
// seen before, or a size that is no non-negative integer; the connection was
// dropped without QUIT.
VANNOIR_DECLARE_ERROR(EIdPOP3BadListing, EIdException, Server, pop3_text::kBadListing);
// Commands sent ahead, a DELE among them, went unanswered past the short
// limit; the connection was dropped without QUIT.
VANNOIR_DECLARE_ERROR(EIdPOP3BatchUnanswered, EIdException, Network, pop3_text::kBatchWithDeletionUnanswered);
// The server answered the log-in (USER, PASS or APOP) with "-ERR": the
// server's text, as any refusal carries it.
class EIdPOP3LogInRefused : public EIdProtocolReplyError {
public:
    using EIdProtocolReplyError::EIdProtocolReplyError;
    VANNOIR_ERROR_KIND(Server)
    VANNOIR_ERROR_CAUSE(LogInRefused)
};
VANNOIR_LIST_ERROR(EIdPOP3LogInRefused, 2, std::string("x"));
