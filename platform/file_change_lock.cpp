#include "platform/file_change_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

FileChangeLock::FileChangeLock(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        error_ = errno;
        ::close(fd_);
        fd_ = -1;
        return;
    }
}

FileChangeLock::FileChangeLock(FileChangeLock&& other) noexcept : fd_(other.fd_), error_(other.error_) {
    other.fd_ = -1;
}

FileChangeLock::~FileChangeLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the only descriptor releases the lock
}
