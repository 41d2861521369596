#pragma once
// The settings file's keys, the program's file names and the messages of
// the accounts: settings, keyring, tokens, import.
#include <string_view>

namespace texts {

inline constexpr std::string_view kCorbeilleFolder = "Corbeille";
// The spam engine's word list and what it learned.
inline constexpr std::string_view kSpamWordsFolder = "Antispam";

// Settings file.
inline constexpr std::string_view kSection = "Form";
inline constexpr std::string_view kCountKey = "Nbre";
inline constexpr std::string_view kServerKey = "Serveur";
inline constexpr std::string_view kUserKey = "Nom";
inline constexpr std::string_view kPasswordKey = "Passe";
inline constexpr std::string_view kPortKey = "Port";
inline constexpr std::string_view kSecurityKey = "Securite";
inline constexpr std::string_view kFingerprintKey = "Empreinte";
inline constexpr std::string_view kStoredPasswordKey = "MotDePasse";
inline constexpr std::string_view kConnectLimitKey = "DelaiConnexion";  // seconds
inline constexpr std::string_view kReadLimitKey = "DelaiLecture";       // seconds
inline constexpr std::string_view kAuthenticationKey = "Authentification";
// OAuth2: the command whose first output line is the access token.
inline constexpr std::string_view kTokenCommandKey = "CommandeJeton";
// OAuth2 without a command: the client id registered with the provider
// (when the table of providers gives none, or another), and the SASL
// mechanism, "XOAUTH2" (missing) or "OAUTHBEARER".
inline constexpr std::string_view kClientIdKey = "IdClient";
inline constexpr std::string_view kMechanismKey = "Mecanisme";
// "1": the password is in the keyring, not in the file.
inline constexpr std::string_view kKeyringKey = "Trousseau";
// The receiving service whose Authentication-Results are believed: its ids,
// or "premier" (see ProviderTable); missing: the table's for the server.
inline constexpr std::string_view kResultServiceKey = "ServiceAuthentification";
// "1": a sender no trusted result speaks for counts as failed.
inline constexpr std::string_view kUnknownFailedKey = "InconnueEchec";

// Window caption.
inline constexpr std::string_view kCaptionNotConfigured = "Courriel : compte non configuré";
inline constexpr std::string_view kCaptionPrefix = "Courriel : ";
inline constexpr std::string_view kCaptionSeparator = " - ";
// A half-filled slot, passed over by an all-accounts action: what it lacks.
inline constexpr std::string_view kSlotIncomplete = "incomplet, il manque %s";
inline constexpr std::string_view kLackingServer = "le serveur";
inline constexpr std::string_view kLackingUser = "le nom d'utilisateur";
inline constexpr std::string_view kLackingPassword = "le mot de passe";

// The table of mail providers, installed beside the help page; the user's
// own beside the settings.
inline constexpr std::string_view kProviderFile = "Fournisseurs.TXT";

// Help page.
inline constexpr std::string_view kHelpFolder = "Aide";
inline constexpr std::string_view kHelpPage = "Accueil.htm";

inline constexpr std::string_view kImportDone = "Importation réussie. Compléter par les mots de passe";
// After kImportDone when accounts did not fit: their count, the highest slot.
inline constexpr std::string_view kImportLeftOut =
    "\n%s compte(s) non importé(s) : les comptes 1 à %s sont tous occupés.";
// One line per account not imported: its key, then why.
inline constexpr std::string_view kImportSkipped = "compte ignoré : %s (%s)";
inline constexpr std::string_view kImportHostTooLong = "nom de serveur de plus de 253 octets";
inline constexpr std::string_view kImportUserTooLong = "nom d'utilisateur de plus de 255 octets";
inline constexpr std::string_view kImportControl = "caractère de contrôle";

// List files.
inline constexpr std::string_view kListFolder = "Liste";
inline constexpr std::string_view kHeaderCacheFolder = "EnTetes";
inline constexpr std::string_view kFriendFile = "Amis.TXT";
inline constexpr std::string_view kIntruderFile = "Intrus.TXT";

// Journal of deletions, beside the lists; its menu item in "Fichier".
inline constexpr std::string_view kJournalFile = "Supprimes.LOG";

inline constexpr std::string_view kSettingsExposed =
    "Attention : le fichier de réglages %s, qui contient les mots de passe, est lisible par "
    "d'autres utilisateurs. Rendez-le privé (chmod 600).";
inline constexpr std::string_view kFolderExposed =
    "Attention : %s peut être modifié par d'autres utilisateurs, qui pourraient changer les listes "
    "et faire supprimer des messages. Retirez-leur le droit d'écriture (chmod go-w).";
inline constexpr std::string_view kPasswordFolderExposed =
    "Le dossier des réglages %s peut être modifié par d'autres utilisateurs : le mot de passe n'y "
    "est pas enregistré. Retirez-leur le droit d'écriture (chmod go-w)";
inline constexpr std::string_view kPasswordForOtherHost =
    "Le mot de passe du compte %s n'est envoyé qu'à son serveur « %s » : pour « %s », "
    "donnez le mot de passe de cette fois.";

// The keyring. The slot number.
inline constexpr std::string_view kKeyringPasswordMissing =
    "Le trousseau de clés ne contient pas le mot de passe du compte %s : enregistrez-le à nouveau.";
// The label of a password's item: the user, then the server.
inline constexpr std::string_view kKeyringLabel = "Vannoir : %s sur %s";

// OAuth2 access tokens.
// The slot number, then the command's exit code (-1: it could not run).
inline constexpr std::string_view kTokenCommandFailed =
    "La commande du jeton d'accès du compte %s a échoué (code %s) : aucune connexion.";
inline constexpr std::string_view kTokenCommandSilent =
    "La commande du jeton d'accès du compte %s n'a écrit aucun jeton : aucune connexion.";
// The slot number, the limit in seconds.
inline constexpr std::string_view kTokenCommandTimedOut =
    "La commande du jeton d'accès du compte %s n'a pas fini en %s s : arrêtée, aucune connexion.";
// The program's own OAuth2 flow. The slot number twice, the server.
inline constexpr std::string_view kNoTokenSource =
    "Le compte %s s'identifie par OAuth2, mais aucune commande (« CommandeJeton%s ») ni aucun point "
    "d'accès de la table des fournisseurs ne donne le jeton d'accès du serveur %s : indiquez une commande "
    "(vannoir-cli compte N --commande-jeton) ou ajoutez le serveur à Fournisseurs.TXT.";
// The slot number twice.
inline constexpr std::string_view kNoClientId =
    "Le compte %s s'identifie par OAuth2, mais aucun identifiant client n'est connu : "
    "indiquez celui que le fournisseur vous a attribué (vannoir-cli compte %s --id-client).";
inline constexpr std::string_view kNotAuthorized =
    "Le compte %s n'est pas encore autorisé chez son fournisseur : autorisez-le une fois "
    "(vannoir-cli compte %s --autoriser, ou depuis la fenêtre).";
// The slot number, the provider's reason, the slot number.
inline constexpr std::string_view kGrantRefused =
    "Le fournisseur a refusé le jeton de renouvellement du compte %s (%s) : autorisez-le de nouveau "
    "(vannoir-cli compte %s --autoriser).";
// The provider's status and reason.
inline constexpr std::string_view kTokenEndpointFailed =
    "Le fournisseur n'a pas donné de jeton d'accès (HTTP %s, %s).";
inline constexpr std::string_view kAuthorizationDenied =
    "L'autorisation a été refusée dans le navigateur (%s).";
inline constexpr std::string_view kNoBrowser =
    "Aucun navigateur n'a pu ouvrir la page d'autorisation : vannoir-cli compte N --autoriser "
    "en donne l'adresse.";
// The label of a refresh token's keyring item: the user, then the server.
inline constexpr std::string_view kRefreshTokenLabel = "Vannoir : autorisation OAuth2 de %s sur %s";

// The registry values an import reads.
inline constexpr std::string_view kPop3ServerValue = "POP3 Server";
inline constexpr std::string_view kPop3UserValue = "POP3 User Name";
inline constexpr std::string_view kPop3PortValue = "POP3 Port";
inline constexpr std::string_view kPop3SecureValue = "POP3 Secure Connection";

}  // namespace texts
