#include "platform/lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

LockFile::LockFile(const std::filesystem::path& file, int waitMs, const std::function<void()>& whileWaiting) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = errno;
        return;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(0, waitMs));
    int failure = 0;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return;
        }
        failure = errno;
        if (failure == EINTR) continue;
        if (failure != EWOULDBLOCK || Clock::now() >= deadline) break;
        if (whileWaiting) whileWaiting();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        std::this_thread::sleep_for(
            std::clamp(left, std::chrono::milliseconds(0), std::chrono::milliseconds(kRetryMs)));
    }
    busy_ = failure == EWOULDBLOCK;
    if (!busy_) error_ = failure;
    ::close(fd);
}

LockFile::~LockFile() {
    if (fd_ >= 0) ::close(fd_);  // closing the only descriptor releases the lock
}
