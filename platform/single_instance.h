#pragma once
// The marker that keeps a second copy of the program from running, per user.
#include <string>
#include <string_view>

class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // Takes the marker `name`; false when another running copy holds it.
    // Any other failure counts as no other copy running. The marker is held
    // until the process ends.
    virtual bool Acquire(std::string_view name) = 0;
};

// A lock (flock) on a file named after the marker in $XDG_RUNTIME_DIR, or,
// without it, in a folder of the user's own (mode 0700) under the temporary
// directory. The system releases the lock when the process dies, so a copy
// that crashed does not block the next start.
class LockFileInstance : public SingleInstance {
public:
    LockFileInstance() = default;
    ~LockFileInstance() override;
    LockFileInstance(const LockFileInstance&) = delete;
    LockFileInstance& operator=(const LockFileInstance&) = delete;

    bool Acquire(std::string_view name) override;
    // The folder the marker files go in ("" when none could be made).
    static std::string MarkerFolder();

private:
    int fd_ = -1;
};
