#pragma once
// Every text the screening logic shows or writes, in UTF-8.
#include <string_view>

#include "account/account_texts.h"

namespace texts {

// The version the about box shows, as the command line prints it.
inline constexpr std::string_view kVersion = "1.02";

// Configuration dialog.
inline constexpr std::string_view kFillEveryField =
    "Remplir impérativement tous les champs avant enregistrement";

inline constexpr std::string_view kHelpWindowTitle = "Aide de Vannoir";

// Account import.
inline constexpr std::string_view kImportFailed =
    "Echec de l'importation. Entrez les paramètres manuellement";

inline constexpr std::string_view kCannotOpenFile = "Impossible d'ouvrir le fichier \"%s\". %s";
inline constexpr std::string_view kCannotCreateFile = "Impossible de créer le fichier \"%s\". %s";
// "Amis" / "Intrus" on a row without a sender.
inline constexpr std::string_view kNotInList = "« %s » n'est pas dans la liste.";
inline constexpr std::string_view kNoSenderToAdd =
    "Aucun expéditeur à ajouter : la ligne choisie n'en a pas.";
// A sender made only of "?" or U+FFFD, refused as a list entry.
inline constexpr std::string_view kUnreadableEntry = "entrée illisible";

inline constexpr std::string_view kJournalMenuItem = "Journal des suppressions";
inline constexpr std::string_view kJournalPurge = "purge des intrus";
inline constexpr std::string_view kJournalSingle = "suppression";
inline constexpr std::string_view kJournalEmpty = "Aucune suppression n'a encore été enregistrée.";
inline constexpr std::string_view kCannotWriteJournal =
    "Les messages ont bien été détruits, mais le journal des suppressions \"%s\" n'a pas pu être "
    "complété. %s";

// Header grid.
inline constexpr std::string_view kHeadings[6] = {"",      "Date, heure", "Expéditeur",
                                                  "Sujet", "Taille",      "Statut"};
inline constexpr std::string_view kFriendMark = "A";
// A friend-list sender whose own provider says the mail is not theirs.
inline constexpr std::string_view kDoubtfulFriendMark = "A?";
// What the account's provider says of a sender: JSON "authentification", the
// last column of the TSV.
inline constexpr std::string_view kAuthenticatedWord = "ok";
inline constexpr std::string_view kFailedWord = "echec";
inline constexpr std::string_view kUnknownWord = "inconnue";
// Why a row is suspect (JSON "raisons", the status cell's "Raison" tooltip).
inline constexpr std::string_view kProviderFailedReason = "authentification refusée par le fournisseur : %s";
inline constexpr std::string_view kReasonNote = "Raison : %s";
inline constexpr std::string_view kLooksLikeReason = "ressemble à %s";
inline constexpr std::string_view kOtherAddressInNameReason = "nom contenant une autre adresse";
// The status cell of a doubtful friend, for a screen reader.
inline constexpr std::string_view kDoubtfulFriendDescription =
    "ami douteux : le fournisseur dit que ce message ne vient pas de cet expéditeur";
// The preview's sender field of a doubtful friend: the sender, then this.
inline constexpr std::string_view kDoubtfulFriendPreview =
    " — attention : selon le fournisseur, ce message ne vient pas de cet expéditeur";
inline constexpr std::string_view kIntruderMark = "I";
// Messages whose header could not be read all through: their count.
inline constexpr std::string_view kOneUnreadable = "%d message illisible";
inline constexpr std::string_view kManyUnreadable = "%d messages illisibles";
// Why a row is marked: the header's name, the error's text.
inline constexpr std::string_view kUnreadableHeader = "En-tête %s illisible : %s";

// Mailbox actions.
inline constexpr std::string_view kCannotConnect = "Impossible de se connecter au serveur";
// A count past kMostMessages: the count, the limit.
inline constexpr std::string_view kTooManyMessages =
    "Le serveur annonce %s messages, plus qu'une boîte aux lettres n'en contient (%s au plus) : "
    "la consultation est abandonnée.";
inline constexpr std::string_view kDeletionsNotConfirmed =
    "Le serveur n'a pas confirmé les suppressions : les messages sont toujours sur le serveur.";
inline constexpr std::string_view kNoNewMessage = "Aucun nouveau message !";
inline constexpr std::string_view kOneMessage = " message sur le serveur";
inline constexpr std::string_view kManyMessages = " messages sur le serveur";
// After the count, when rows came from the header cache: how many headers
// were fetched and how many were already known.
inline constexpr std::string_view kCachedOne = "%s nouveau, %s en mémoire";
inline constexpr std::string_view kCachedMany = "%s nouveaux, %s en mémoire";
// The purge question with the number of intruders, and for a single one.
inline constexpr std::string_view kPurgeQuestionMany = "Voulez-vous détruire les %d messages intrus ?";
inline constexpr std::string_view kPurgeQuestionOne = "Voulez-vous détruire le message intrus ?";
// "Supprimer": the message number, its sender as the grid shows it, its subject.
inline constexpr std::string_view kDeleteQuestion = "Supprimer le message %s de %s : %s ?";
// Added below the question when the Corbeille keeps a copy.
inline constexpr std::string_view kDeleteKeptNote = "Une copie en sera gardée dans la corbeille.";
// "Tout effacer".
inline constexpr std::string_view kEraseAllQuestion = "Effacer la configuration de tous les comptes ?";
// The stop command (Esc) ended the session without QUIT.
inline constexpr std::string_view kStopped = "Action arrêtée : rien n'a été supprimé.";
// What made a session fail, in the error box's details and the status bar.
inline constexpr std::string_view kCauseLogInRefused = "Mot de passe refusé par le serveur";
inline constexpr std::string_view kCauseUnreachable = "Serveur injoignable";
inline constexpr std::string_view kCauseCertificate = "Certificat refusé";
inline constexpr std::string_view kCauseSilent = "Le serveur ne répond plus";
inline constexpr std::string_view kCauseDropped = "Le serveur a coupé la connexion";
inline constexpr std::string_view kCauseTls = "Chiffrement (TLS) impossible";
inline constexpr std::string_view kPartCount = "Nombre de parties : ";
inline constexpr std::string_view kAttachment = "Pièce jointe : ";
// After a part whose encoding broke off; the note names the message and the parts.
inline constexpr std::string_view kUnreadablePart = "pièce jointe illisible";
inline constexpr std::string_view kUnreadableNote =
    "Message %s : pièce jointe illisible (%s) : seul son début est affiché.";
inline constexpr std::string_view kUnreadableText = "texte";
inline constexpr std::string_view kActionRunning =
    "Une action sur la boîte aux lettres est déjà en cours : attendez qu'elle se termine.";
inline constexpr std::string_view kMailboxLocked =
    "Une autre session de Vannoir agit déjà sur cette boîte aux lettres avec les mêmes réglages : "
    "réessayez quand elle aura fini.";
// The slot number.
inline constexpr std::string_view kAccountNotConfigured =
    "Le compte %s n'est pas configuré : enregistrez d'abord son serveur, son nom d'utilisateur et "
    "son mot de passe.";
inline constexpr std::string_view kDeleteRefusedChanged =
    "La boîte aux lettres a changé depuis la dernière consultation des en-têtes : "
    "le message %d n'est plus celui de la liste. Rien n'a été supprimé ; consultez à nouveau les en-têtes.";
inline constexpr std::string_view kDeleteRefusedNoScan =
    "Le message %d ne figure pas dans la dernière consultation des en-têtes. Rien n'a été supprimé ; "
    "consultez d'abord les en-têtes.";
inline constexpr std::string_view kPreviewChanged =
    "La boîte aux lettres a changé depuis la dernière consultation des en-têtes : le message affiché "
    "n'est peut-être pas celui de la ligne choisie. Consultez à nouveau les en-têtes.";

// An account's connection and its password.
inline constexpr std::string_view kPasswordTooLong =
    "Le mot de passe est trop long : 255 caractères au plus.";
inline constexpr std::string_view kBadPort = "Le port doit être un nombre de 1 à 65535.";
inline constexpr std::string_view kBadFingerprint =
    "L'empreinte du certificat doit compter 64 chiffres hexadécimaux (SHA-256), "
    "par paires séparées ou non par « : ».";

// "Tester": the server, then the message count.
inline constexpr std::string_view kTestDone =
    "Test réussi : connexion à %s, identifiants acceptés, %s message(s) sur le serveur.";
// The error's own text.
inline constexpr std::string_view kTestCertificateRefused = "Test échoué : certificat refusé. %s";
inline constexpr std::string_view kTestRefused =
    "Test échoué : identifiant ou mot de passe refusé par le serveur (%s).";
inline constexpr std::string_view kTestUnreachable = "Test échoué : serveur injoignable (%s).";

// compte N --autoriser. The slot number.
inline constexpr std::string_view kNothingToAuthorize =
    "Le compte %s ne s'autorise pas dans le navigateur : il faut l'authentification oauth2 sans "
    "commande du jeton.";
inline constexpr std::string_view kOpenThisAddress =
    "Ouvrez cette adresse dans votre navigateur et autorisez Vannoir :";
inline constexpr std::string_view kAuthorized =
    "Compte %s autorisé : le jeton de renouvellement est dans le trousseau de clés.";

}  // namespace texts
