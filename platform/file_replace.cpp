#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Permissions for the new file, or an errno when the old one must not be
// replaced. A symbolic link is not followed: the link itself is replaced, so
// a link planted at the path never redirects the write elsewhere.
int PermissionsFor(const std::filesystem::path& path, FileAccess access, mode_t& mode) {
    struct stat st {};
    const mode_t fresh = access == FileAccess::OwnerOnly ? 0600 : 0644;
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) return errno;
        mode = fresh;
        return 0;
    }
    if (S_ISLNK(st.st_mode)) {
        mode = fresh;
        return 0;
    }
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return kNotRegularFile;
    // The owner's write bit is the read-only attribute; checked by hand
    // because a privileged process would otherwise write through it.
    if ((st.st_mode & S_IWUSR) == 0) return EACCES;
    mode = access == FileAccess::OwnerOnly ? 0600 : (st.st_mode & 07777);
    return 0;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

}  // namespace

int ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    // Without O_NONBLOCK a FIFO at the path would hold the open until a
    // writer came; fstat then refuses anything but a regular file.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno;
    struct stat st {};
    int result = ::fstat(fd, &st) != 0  ? errno
                 : S_ISDIR(st.st_mode)  ? EISDIR
                 : !S_ISREG(st.st_mode) ? kNotRegularFile
                                        : 0;
    char buffer[65536];
    while (result == 0) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            result = errno;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    if (result != 0) bytes.clear();
    ::close(fd);
    return result;
}

int AppendToFile(const std::filesystem::path& path, std::string_view bytes) {
    // Never through a link, never into a pipe or a device.
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) return errno == ELOOP ? kNotRegularFile : errno;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return kNotRegularFile;
    }
    int result = WriteAll(fd, bytes);
    if (::close(fd) != 0 && result == 0) result = errno;
    return result;
}

int ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes, FileAccess access) {
    mode_t mode = 0;
    if (int error = PermissionsFor(path, access, mode)) return error;

    std::string temp = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    if (path.parent_path().empty()) temp = "." + path.filename().string() + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    int error = ::fchmod(fd, mode) == 0 ? WriteAll(fd, bytes) : errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(temp.c_str());
    return error;
}
