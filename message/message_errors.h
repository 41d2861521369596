#pragma once
// Errors of the message model, with their fixed texts.
#include "platform/id_exception.h"
#include "platform/text.h"

// An at sign outside quotes and comments after an address in angle brackets
// has been closed ("<a@b> c@d").
VANNOIR_DECLARE_ERROR(EIdEmailParseError, EIdException, Server, "Adresse extérieure @");

// The system time zone could not be read, or reported an unknown state.
VANNOIR_DECLARE_ERROR(EIdFailedToRetreiveTimeZoneInfo, EIdException, Server,
                      "Echec lors de la tentative de récupération des informations de fuseau horaire.");

// Sending a message encoded UU that has text or related parts.
VANNOIR_DECLARE_ERROR(EIdMessageException, EIdException, Server,
                      "Encodage incorrect. UU permet uniquement les éléments Body et Attachments");

namespace message_text {
// Copying a part from a part of another class; followed by the source class,
// " à un ", the destination class and ".".
inline constexpr const char* kCannotAssign = "Impossible d'assigner un ";
// Prefix of the error for an unknown send-side message encoder name.
inline constexpr const char* kEncoderNotFound = "Encodeur de message non trouvé";
}  // namespace message_text

// An unknown send-side message encoder name; the text carries the name.
VANNOIR_DECLARE_ERROR(EIdMessageEncoderNotFound, EIdException, Server, message_text::kEncoderNotFound);

// Creating the abstract message part itself.
VANNOIR_DECLARE_ERROR(EIdCanNotCreateMessagePart, EIdException, Server,
                      "TIdMessagePart ne peut être créé.  Utilisez des classes descendantes. ");
