#pragma once
// Whole-file reading and crash-safe replacement. A replaced file is written
// to a temporary file in the same folder, flushed to disk, then renamed over
// the old one, so a crash leaves either the old or the new contents, never a
// truncated file.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/system_error_text.h"

// Permissions of a replaced file.
enum class FileAccess {
    OwnerOnly,     // always 0600: the file holds secrets
    KeepExisting,  // the old file's permissions, 0644 for a new file
};

// Reads every byte of `path` into `bytes`, through a symbolic link. Only a
// regular file is read, and opening never waits (a FIFO does not block).
// Returns 0, or the errno of the failure (ENOENT for a missing file or
// folder, EISDIR for a folder, kNotRegularFile for anything else that is not
// a regular file); `bytes` is then empty.
int ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// Appends `bytes` at the end of `path`, flushed to disk, creating the file (0644)
// when missing, never its folder; what was there is never rewritten. Returns
// 0, or the errno of the failure.
int AppendToFile(const std::filesystem::path& path, std::string_view bytes);

// Replaces the contents of `path` by `bytes`, creating the file when missing
// (never its folder). A symbolic link at `path` is replaced itself, never
// written through. A file without write permission for its owner counts as
// read-only and is refused with EACCES, as is a folder that refuses the
// temporary file; a folder there gives EISDIR, a FIFO, device or socket
// kNotRegularFile. Returns 0, or the errno of the failure; the old file is
// then untouched and no temporary file is left behind.
int ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes, FileAccess access);
