#pragma once
// The system's reason for a failed file operation, in French, as the error
// messages that quote it expect ("Accès refusé." for EACCES...).
#include <string>

// Windows-1252 text for an errno value; unknown codes give
// "Erreur système <code>.". Never throws (beyond allocation).
std::string SysErrorMessage(int error);
