#pragma once
// The Corbeille's keys, file names and messages.
#include <string_view>

#include "account/account_texts.h"

namespace corbeille_texts {

inline constexpr std::string_view kFolder = texts::kCorbeilleFolder;
inline constexpr std::string_view kIndexFile = "Index.TXT";

// Settings keys, in section "Form".
inline constexpr std::string_view kEnabledKey = "Corbeille";
inline constexpr std::string_view kDaysKey = "CorbeilleJours";
inline constexpr std::string_view kMessageSizeKey = "CorbeilleTailleMax";   // MB
inline constexpr std::string_view kTotalSizeKey = "CorbeilleTailleTotale";  // MB

// A path and the system's reason.
inline constexpr std::string_view kCannotOpenFolder =
    "Impossible d'ouvrir le dossier de la corbeille \"%s\". %s";
inline constexpr std::string_view kCannotCreateCopy = "Impossible de créer la copie \"%s\". %s";
inline constexpr std::string_view kCannotWriteCopy = "Impossible d'écrire la copie \"%s\". %s";
inline constexpr std::string_view kCannotRemoveCopy = "Impossible de retirer la copie \"%s\". %s";
// The number asked for.
inline constexpr std::string_view kCannotReadCopy = "Impossible de lire la copie.";
inline constexpr std::string_view kNoSuchCopy = "La corbeille n'a pas de message numéro %s.";
// After a purge or a deletion: the message numbers not kept, then the reason.
inline constexpr std::string_view kNotKept =
    "Le message %s n'a pas pu être conservé dans la corbeille : il n'a pas été supprimé du serveur.\n%s";
inline constexpr std::string_view kRetrieveRefused = "Le serveur a refusé de transmettre le message.";

// In place of the deletion date of a copy whose message was not deleted
// (the server refused its DELE, or the session ended first).
inline constexpr std::string_view kNotDeleted = "non supprimé";

// The journal's field for a copy.
inline constexpr std::string_view kJournalNotKept = "non conservé";
inline constexpr std::string_view kJournalOff = "corbeille désactivée";
inline constexpr std::string_view kJournalHeaderOnly = "en-tête seulement";

// "Ouvrir" with no desktop program for messages; the copy's path.
inline constexpr std::string_view kNoMailProgram =
    "Aucun programme du bureau n'ouvre les messages. La copie est enregistrée ici :\n%s";

// The window: menu item and dialog.
inline constexpr std::string_view kMenuItem = "Corbeille…";
inline constexpr std::string_view kDialogTitle = "Corbeille";
inline constexpr std::string_view kHeadings[5] = {"Supprimé le", "Compte", "Expéditeur", "Sujet", "Taille"};
inline constexpr std::string_view kSaveAs = "Enregistrer sous…";
inline constexpr std::string_view kOpen = "Ouvrir";
inline constexpr std::string_view kPreview = "Aperçu";
inline constexpr std::string_view kEmpty = "Vider la corbeille";
inline constexpr std::string_view kEmptyQuestion =
    "Voulez-vous détruire définitivement tous les messages de la corbeille ?";
inline constexpr std::string_view kNothingSelected = "Choisissez d'abord un message de la liste.";

}  // namespace corbeille_texts
