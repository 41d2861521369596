#pragma once
// Error kinds and fixed texts of message reception and decoding. Tests refer
// to these texts rather than repeating them.
#include <string>

#include "platform/id_exception.h"
#include "platform/text.h"

namespace mime_text {
// A 4-to-3 text (base64, or a UUE/XXE line) whose length is not a multiple of 4.
inline constexpr const char* kIrregularSize = "Taille irrégulière dans DecodeToStream.";
// A part header cut off by the end of the message.
inline constexpr const char* kUnknownPartType = "Type de partie de message inconnu.";
// An attachment's temporary file could not be opened or written; followed by
// the file's path and ".".
inline constexpr const char* kCannotWriteAttachment = "Impossible d'écrire le fichier ";
// An inline attachment whose first data line is neither UUE nor XXE.
inline constexpr const char* kUnknownUueScheme = "Schéma d'encodage UUE non reconnu.";
// A header block past 1 MB or 10,000 lines, or one field past 64 KB once
// its continuation lines are joined.
inline constexpr const char* kHeaderTooLarge =
    "En-tête de message trop volumineux : plus de 1 Mo ou de 10 000 lignes. Le message n'est pas lu.";
inline constexpr const char* kHeaderFieldTooLarge =
    "Champ d'en-tête trop long : plus de 64 Ko une fois ses lignes réunies. Le message n'est pas lu.";
// A header line past the connection's line length, dropped with its
// continuation lines while the rest of the header is read.
inline constexpr const char* kHeaderLineSkipped = "En-tête trop long : une de ses lignes n'est pas lue.";
}  // namespace mime_text

VANNOIR_DECLARE_ERROR(EIdIrregularSize, EIdException, Server, mime_text::kIrregularSize);
VANNOIR_DECLARE_ERROR(EIdUnknownPartType, EIdException, Server, mime_text::kUnknownPartType);
VANNOIR_DECLARE_ERROR(EIdUnknownUueScheme, EIdException, Server, mime_text::kUnknownUueScheme);
// Carries the attachment file's path in its text.
VANNOIR_DECLARE_ERROR(EIdAttachmentWriteError, EIdException, LocalFile, mime_text::kCannotWriteAttachment);
// Either text above; an action that meets it ends there.
VANNOIR_DECLARE_ERROR(EIdHeaderTooLarge, EIdException, Server, mime_text::kHeaderTooLarge);
