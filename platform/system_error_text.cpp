#include "platform/system_error_text.h"

#include <cerrno>

#include "platform/text.h"

std::string SysErrorMessage(int error) {
    switch (error) {
        case ENOENT:
            return Ansi("Le fichier spécifié est introuvable.");
        case ENOTDIR:
            return Ansi("Le chemin d'accès spécifié est introuvable.");
        case EACCES:
        case EPERM:
        case EROFS:
            return Ansi("Accès refusé.");
        case kNotRegularFile:
            return Ansi("Le fichier spécifié n'est pas un fichier ordinaire.");
        case EISDIR:
            return Ansi("Le fichier spécifié est un dossier.");
        case ENOSPC:
        case EDQUOT:
            return Ansi("Espace insuffisant sur le disque.");
        case EMFILE:
        case ENFILE:
            return Ansi("Le système ne peut pas ouvrir le fichier.");
        case ENAMETOOLONG:
            return Ansi("Le nom de fichier est trop long.");
        case EIO:
            return Ansi("Erreur d'entrée/sortie sur le périphérique.");
        default:
            return Ansi("Erreur système ") + IntToStr(error) + ".";
    }
}
