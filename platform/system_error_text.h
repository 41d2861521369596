#pragma once
// The system's reason for a failed file operation, in French, as the error
// messages that quote it expect ("Accès refusé." for EACCES...).
#include <string>

// Not an errno (those are positive): what stands at a path is neither a
// regular file nor a folder (a FIFO, a device, a socket).
inline constexpr int kNotRegularFile = -1;

// Windows-1252 text for an errno value; unknown codes give
// "Erreur système <code>.". Never throws (beyond allocation).
std::string SysErrorMessage(int error);
