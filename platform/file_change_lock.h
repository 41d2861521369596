#pragma once
// Serialises read-modify-write changes of the files in one folder between
// processes and threads. The lock is taken on the folder itself, since a
// replaced file is a new inode and a lock file would be one more file left
// beside the user's; the system releases it when its holder dies.
#include <filesystem>

class FileChangeLock {
public:
    // Waits for the exclusive lock of the folder that holds `file`. Never
    // throws: Error() tells whether the lock could be taken.
    explicit FileChangeLock(const std::filesystem::path& file);
    ~FileChangeLock();
    FileChangeLock(FileChangeLock&& other) noexcept;
    FileChangeLock& operator=(FileChangeLock&&) = delete;
    FileChangeLock(const FileChangeLock&) = delete;
    FileChangeLock& operator=(const FileChangeLock&) = delete;

    // 0 once the lock is held, else the errno of the failure (ENOENT for a
    // missing folder).
    int Error() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};
