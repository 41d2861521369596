#pragma once
// Temporary files for decoded attachments.
//
// Files made by NewTempFile outlive the message that names them, so a preview
// can still point at them; the ones this process made are removed when it
// exits normally (return from main or exit), so the previews of a session
// leave nothing behind. A child made by fork does not remove its parent's.
#include <string>
#include <string_view>

#include "platform/id_exception.h"

namespace temp_file_text {
// Followed by " dans <directory>." or, without a directory, by ".".
inline constexpr const char* kCannotCreate = "Impossible de créer un fichier temporaire";
}  // namespace temp_file_text

// NewTempFile could not make a file (directory missing, not writable, full).
class EIdTempFileError : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(LocalFile)
};
VANNOIR_LIST_ERROR(EIdTempFileError, std::string("x"));

// The system's temporary directory, read once at program start, as text in
// the system code page, without a trailing separator. Empty when the system
// reports none; NewTempFile then fails.
const std::string& TempDirectory();

// Creates a new, empty file readable and writable by the user only, whose name
// starts with "Orvi", in `directory` (TempDirectory() when empty), atomically:
// the name is new, never an existing file. Returns its full path (system code
// page text). Throws EIdTempFileError when no file can be made.
std::string NewTempFile(std::string_view directory = {});
// The same, keeping the new file open: its descriptor, open for writing, and
// the path in `path`. The caller closes the descriptor.
int OpenNewTempFile(std::string_view directory, std::string& path);
// Removes a file this process made through NewTempFile or OpenNewTempFile
// before exit; any other path is left alone.
void RemoveTempFile(std::string_view path);
