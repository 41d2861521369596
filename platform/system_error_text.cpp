#include "platform/system_error_text.h"

#include <cerrno>

#include "platform/text.h"

std::string SysErrorMessage(int error) {
    switch (error) {
        case ENOENT:
            return std::string("Le fichier spécifié est introuvable.");
        case ENOTDIR:
            return std::string("Le chemin d'accès spécifié est introuvable.");
        case EACCES:
        case EPERM:
        case EROFS:
            return std::string("Accès refusé.");
        case kNotRegularFile:
            return std::string("Le fichier spécifié n'est pas un fichier ordinaire.");
        case EISDIR:
            return std::string("Le fichier spécifié est un dossier.");
        case ENOSPC:
        case EDQUOT:
            return std::string("Espace insuffisant sur le disque.");
        case EMFILE:
        case ENFILE:
            return std::string("Le système ne peut pas ouvrir le fichier.");
        case ENAMETOOLONG:
            return std::string("Le nom de fichier est trop long.");
        case EIO:
            return std::string("Erreur d'entrée/sortie sur le périphérique.");
        default:
            return std::string("Erreur système ") + IntToStr(error) + ".";
    }
}
