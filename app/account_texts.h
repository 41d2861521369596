#pragma once
// The settings keys and texts of an account's connection: port, security,
// trusted certificate, time limits and the stored form of any password
// (UTF-8 source; turn them into Windows-1252 with Ansi()).
#include <string_view>

namespace texts {

inline constexpr std::string_view kPortKey = "Port";
inline constexpr std::string_view kSecurityKey = "Securite";
inline constexpr std::string_view kFingerprintKey = "Empreinte";
inline constexpr std::string_view kStoredPasswordKey = "MotDePasse";
inline constexpr std::string_view kConnectLimitKey = "DelaiConnexion";  // seconds
inline constexpr std::string_view kReadLimitKey = "DelaiLecture";       // seconds

inline constexpr std::string_view kPasswordTooLong =
    "Le mot de passe est trop long : 255 caractères au plus.";
inline constexpr std::string_view kBadPort = "Le port doit être un nombre de 1 à 65535.";
inline constexpr std::string_view kBadFingerprint =
    "L'empreinte du certificat doit compter 64 chiffres hexadécimaux (SHA-256), "
    "par paires séparées ou non par « : ».";
inline constexpr std::string_view kSettingsExposed =
    "Attention : le fichier de réglages %s, qui contient les mots de passe, est lisible par "
    "d'autres utilisateurs. Rendez-le privé (chmod 600).";
inline constexpr std::string_view kPasswordForOtherHost =
    "Le mot de passe du compte %s n'est envoyé qu'à son serveur « %s » : pour « %s », "
    "donnez le mot de passe de cette fois.";

}  // namespace texts
