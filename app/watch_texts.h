#pragma once
// The texts of the periodic checks, the tray and the all-accounts scan.
#include <string_view>

namespace watch_texts {

// Settings: a section of their own.
inline constexpr std::string_view kSection = "Surveillance";
inline constexpr std::string_view kMinutesKey = "Minutes";     // 0: no periodic check
inline constexpr std::string_view kAccountsKey = "Comptes";    // "1,3"; empty: every account
inline constexpr std::string_view kPurgeKey = "PurgerIntrus";  // 1: intruders go without asking
inline constexpr std::string_view kTrayNoteKey = "NoteBarre";  // 1: the tray note was shown
// The unique ids seen on an account, one a line, beside the lists: the slot.
inline constexpr std::string_view kSeenFile = "Vus%s.TXT";

// "Actions" > "En-têtes de tous les comptes".
inline constexpr std::string_view kAllAccountsItem = "En-têtes de tous les comptes";
inline constexpr std::string_view kAccountHeading = "Compte";
// One account that failed: its slot, what went wrong.
inline constexpr std::string_view kAccountFailed = "Compte %s : %s";
inline constexpr std::string_view kNoAccount = "Aucun compte n'est configuré.";

// The tray icon's tooltip: waiting messages, intruders among them.
inline constexpr std::string_view kTrayCounts = "Vannoir : %s en attente, %s";
inline constexpr std::string_view kOneWaiting = "1 message";
inline constexpr std::string_view kManyWaiting = "%s messages";
inline constexpr std::string_view kOneIntruder = "1 intrus";
inline constexpr std::string_view kManyIntruders = "%s intrus";
inline constexpr std::string_view kTrayShow = "Afficher la fenêtre";
inline constexpr std::string_view kTrayCheck = "Vérifier maintenant";
inline constexpr std::string_view kTrayQuit = "Quitter";
// The first close with periodic checks on.
inline constexpr std::string_view kTrayNote =
    "Vannoir reste dans la zone de notification et continue de vérifier les boîtes aux lettres. "
    "Pour le quitter, choisissez \"Quitter\" dans le menu de son icône.";

// The desktop notification after a check that found something new.
inline constexpr std::string_view kNewTitle = "Vannoir : nouveaux messages";
inline constexpr std::string_view kOneNew = "1 nouveau message";
inline constexpr std::string_view kManyNew = "%s nouveaux messages";
inline constexpr std::string_view kFrom = " de %s";
inline constexpr std::string_view kOnePurged = "1 intrus supprimé";
inline constexpr std::string_view kManyPurged = "%s intrus supprimés";

// The "Surveillance" part of the configuration dialog.
inline constexpr std::string_view kGroupTitle = "Surveillance";
inline constexpr std::string_view kEveryLabel = "Vérifier toutes les (minutes, 0 : jamais)";
inline constexpr std::string_view kAccountsLabel = "Comptes (ex. 1,3 ; vide : tous)";
inline constexpr std::string_view kPurgeLabel = "Supprimer les intrus sans demander";
inline constexpr std::string_view kPurgeNeedsCorbeille =
    "La suppression des intrus sans demander n'est possible que si la corbeille garde une copie des "
    "messages supprimés.";

}  // namespace watch_texts
