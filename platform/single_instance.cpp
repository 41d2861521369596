#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Ours alone: owned by us, nobody else may enter or write it.
bool IsPrivateFolder(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & 077) == 0;
}

}  // namespace

LockFileInstance::~LockFileInstance() {
    // Closing drops the lock; the marker file stays for the next start.
    if (fd_ >= 0) close(fd_);
}

std::string LockFileInstance::MarkerFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && IsDirectory(runtime)) return runtime;
    std::error_code ec;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec) temp = "/tmp";
    std::string folder = (temp / ("vannoir-" + std::to_string(getuid()))).string();
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return IsPrivateFolder(folder) ? folder : std::string();
}

bool LockFileInstance::Acquire(std::string_view name) {
    std::string folder = MarkerFolder();
    if (folder.empty()) return true;
    std::string path = folder + "/" + std::string(name);
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        bool held = errno == EWOULDBLOCK;
        close(fd);
        return !held;
    }
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
    return true;
}
