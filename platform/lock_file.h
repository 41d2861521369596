#pragma once
// An exclusive lock on a small file of its own, held for as long as the
// object lives: one process at a time does what the lock guards. The
// system releases it when its holder dies, so a crash never leaves it taken.
// The file itself stays; only the lock on it matters.
#include <filesystem>
#include <functional>

class LockFile {
public:
    // Takes the lock of `file` (created, owner only, when missing), trying
    // again for up to `waitMs` while another holder has it; `whileWaiting`,
    // when set, runs between the tries. Never throws.
    LockFile(const std::filesystem::path& file, int waitMs, const std::function<void()>& whileWaiting = {});
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    bool Held() const { return fd_ >= 0; }
    // Another holder kept the lock for the whole wait.
    bool Busy() const { return busy_; }
    // The errno of a file that could not be opened; 0 otherwise.
    int Error() const { return error_; }

    // How long a try waits before the next one.
    static constexpr int kRetryMs = 50;

private:
    int fd_ = -1;
    bool busy_ = false;
    int error_ = 0;
};
