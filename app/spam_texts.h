#pragma once
// The spam engine's settings keys, files and messages.
#include <string_view>

#include "account/account_texts.h"

namespace spam_texts {

// Settings: a section of their own.
inline constexpr std::string_view kSection = "Antispam";
inline constexpr std::string_view kEngineKey = "Moteur";  // aucun, bogofilter, rspamd, spamd
inline constexpr std::string_view kHostKey = "Serveur";
inline constexpr std::string_view kPortKey = "Port";
inline constexpr std::string_view kPasswordKey = "MotDePasse";  // stored as the accounts' passwords
inline constexpr std::string_view kUserKey = "Utilisateur";
inline constexpr std::string_view kEngineNone = "aucun";
inline constexpr std::string_view kEngineBogofilter = "bogofilter";
inline constexpr std::string_view kEngineRspamd = "rspamd";
inline constexpr std::string_view kEngineSpamd = "spamd";

// The word list's folder, beside the Corbeille, and the ledger of what was
// learned in it.
inline constexpr std::string_view kWordsFolder = texts::kSpamWordsFolder;
inline constexpr std::string_view kLedgerFile = "Appris.TXT";

// Why the engine gave no score (once per scan).
inline constexpr std::string_view kEngineMissing = "Le moteur antispam \"%s\" est introuvable.";
inline constexpr std::string_view kEngineTooSlow = "Le moteur antispam n'a pas répondu à temps.";
inline constexpr std::string_view kEngineGarbage = "Le moteur antispam a donné une réponse illisible.";
inline constexpr std::string_view kEngineFailed = "Le moteur antispam a échoué (code %s).";
inline constexpr std::string_view kNoEngine = "Aucun moteur antispam n'est choisi (Antispam, Moteur=aucun).";
// The command line's lesson: how many messages were new to the engine.
inline constexpr std::string_view kTaught = "%s message(s) appris, %s déjà connu(s).";
inline constexpr std::string_view kNoScore = "Pas de score : %s";

}  // namespace spam_texts
