#pragma once
// A profile (INI) settings file: "[Section]" lines, then "key=value" lines.
// Section and key names match ignoring case (locale-aware comparison);
// surrounding blanks of names and values do not count. The file is read for
// every operation and nothing is cached.
//
// Writing replaces the first line of the key in its section, or adds the key
// after the section's last line, creating the section (at the end of the
// file) and the file when needed; deleting removes the key's line. Every
// other line, with its own line end, is kept byte for byte; new lines end in
// CR LF. Each change replaces the whole file atomically, readable and
// writable by its owner only, since it holds a password.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_change_lock.h"
#include "platform/id_exception.h"
#include "platform/text.h"

// A write the system refused: "Impossible d'écrire dans <path>".
class EIniWriteError : public EIdException {
public:
    EIniWriteError(const std::filesystem::path& path, int error);
    int ErrorCode() const noexcept { return error_; }

    VANNOIR_ERROR_KIND(LocalFile)
private:
    int error_;
};
VANNOIR_LIST_ERROR(EIniWriteError, std::filesystem::path("x"), 28);

// Whole-file access for a change of a settings-like file (one holding
// secrets). A change reads, edits and stores the file while holding
// LockIniForChange, so that two processes changing it at once do not lose
// each other's change.
// Throws EIniWriteError when the lock cannot be taken (missing folder).
FileChangeLock LockIniForChange(const std::filesystem::path& path);
// The current bytes, empty for a missing file; throws
// EIniWriteError for a file that exists but cannot be read, which must not
// be replaced by a new one.
std::string ReadIniBytesForChange(const std::filesystem::path& path);
// Replaces the file by `bytes` atomically, readable and writable by its
// owner only. Throws EIniWriteError.
void StoreIniBytes(const std::filesystem::path& path, std::string_view bytes);

// The same rules over the file's bytes, for callers that hold them.
// The value of `key` in `section`, cut to kMaxValueLength, or nullopt.
std::optional<std::string> IniValue(std::string_view bytes, std::string_view section, std::string_view key);
// A value as ReadInteger reads it: decimal, or hexadecimal after "0x"/"0X";
// `fallback` when it is neither.
int IniInteger(std::string_view value, int fallback);
// The bytes with `key` set to `value` (cut at byte 0 and at a line end).
std::string IniWithValue(std::string_view bytes, std::string_view section, std::string_view key,
                         std::string_view value);
// The bytes without the line of `key`, or nullopt when there is no such line.
std::optional<std::string> IniWithoutKey(std::string_view bytes, std::string_view section,
                                         std::string_view key);

class TIniFile {
public:
    // Longest value a read returns; longer values are cut.
    static constexpr std::size_t kMaxValueLength = 2047;

    explicit TIniFile(std::filesystem::path path) : path_(std::move(path)) {}
    const std::filesystem::path& FileName() const { return path_; }

    // The key's value, or `fallback` when the file, section or key is missing
    // (an unreadable file reads as missing). Never throws.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback = {}) const;
    // The value as a decimal integer, or hexadecimal after "0x"/"0X";
    // `fallback` when missing or unreadable as a number. Never throws.
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;

    // Sets the key to `value`, cut at its first byte 0 and at its first line
    // end (so a value can never add lines of its own), under the change lock.
    // Throws EIniWriteError.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    // Removes the key's line; a missing key leaves the file untouched.
    // Throws EIniWriteError.
    void DeleteKey(std::string_view section, std::string_view key);

private:
    std::filesystem::path path_;
};
