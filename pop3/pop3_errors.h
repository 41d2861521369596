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
}  // namespace pop3_text

// A reply that begins with neither "+OK" nor "-ERR"; the text carries the reply.
VANNOIR_DECLARE_ERROR(EIdPOP3UnrecognisedReply, EIdException, pop3_text::kUnrecognisedReply);
// APOP asked of a server whose greeting has no time stamp.
VANNOIR_DECLARE_ERROR(EIdPOP3NoApopTimestamp, EIdException, pop3_text::kNoApopTimestamp);

// A message count (STAT) or size (LIST) below zero.
VANNOIR_DECLARE_ERROR(EIdPOP3NegativeCount, EIdException, pop3_text::kNegativeCount);

// A listing (CAPA, LIST, UIDL) past TIdPOP3::MaxListingBytes or MaxListingLines.
VANNOIR_DECLARE_ERROR(EIdPOP3ListingTooLarge, EIdException, pop3_text::kListingTooLarge);

// A user name or password that holds CR, LF or NUL: sent as it is, it would
// end the command early and let the rest pass for further commands.
VANNOIR_DECLARE_ERROR(EIdPOP3UnsafeCredentials, EIdException,
                      "Le nom d'utilisateur ou le mot de passe contient un caractère interdit "
                      "(retour chariot, saut de ligne ou caractère nul).");

// The server answered the log-in (USER, PASS or APOP) with "-ERR": the
// server's text, as any refusal carries it.
class EIdPOP3LogInRefused : public EIdProtocolReplyError {
public:
    using EIdProtocolReplyError::EIdProtocolReplyError;
};
