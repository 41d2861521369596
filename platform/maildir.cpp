#include "platform/maildir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/system_error_text.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSubfolders[] = {"tmp", "new", "cur"};
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;

// A folder of ours: made owner-only when missing; a link or anything but a
// folder is refused. 0 or errno.
int PrivateFolder(const fs::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return errno;
    if (S_ISLNK(st.st_mode)) return ELOOP;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Whether `name` in `folder` is a regular file, not through a link. 0 or
// errno.
int RegularAt(int folder, const char* name, struct stat& st) {
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (S_ISLNK(st.st_mode)) return ELOOP;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    return S_ISREG(st.st_mode) ? 0 : kNotRegularFile;
}

}  // namespace

int OpenMaildir::Make(const fs::path& folder, fs::path& failed) {
    // Missing parents (a data folder not made yet) are private too.
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path f = folder.parent_path(); !f.empty() && !fs::exists(f, ec); f = f.parent_path()) {
        missing.push_back(f);
        if (f == f.parent_path()) break;
    }
    std::vector<fs::path> made(missing.rbegin(), missing.rend());
    made.push_back(folder);
    for (const char* sub : kSubfolders) made.push_back(folder / sub);
    for (const fs::path& f : made) {
        if (int error = PrivateFolder(f)) {
            failed = f;
            return error;
        }
    }
    return 0;
}

std::shared_ptr<OpenMaildir> OpenMaildir::Open(const fs::path& folder, int& error, fs::path& failed) {
    error = 0;
    auto open = std::make_shared<OpenMaildir>();
    open->fd_ = ::open(folder.c_str(), kFolderFlags);
    if (open->fd_ < 0) {
        if (errno != ENOENT) error = errno, failed = folder;
        return nullptr;
    }
    int* const subfolders[] = {&open->temp_, &open->fresh_, &open->cur_};  // as kSubfolders
    for (std::size_t i = 0; i < std::size(kSubfolders); ++i) {
        *subfolders[i] = ::openat(open->fd_, kSubfolders[i], kFolderFlags);
        if (*subfolders[i] < 0 && errno != ENOENT) {
            error = errno;
            failed = folder / kSubfolders[i];
            return nullptr;
        }
    }
    return open;
}

OpenMaildir::~OpenMaildir() {
    for (int f : {cur_, fresh_, temp_, fd_})
        if (f >= 0) ::close(f);
}

int OpenMaildir::Sub(std::string_view name) const {
    return name == "tmp" ? temp_ : name == "new" ? fresh_ : name == "cur" ? cur_ : -1;
}

std::vector<std::string> OpenMaildir::RegularFiles(std::string_view sub) const {
    std::vector<std::string> names;
    const int folder = Sub(sub);
    const int fd = folder < 0 ? -1 : ::openat(folder, ".", kFolderFlags);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0) ::close(fd);
        return names;
    }
    while (const dirent* d = ::readdir(dir)) {
        struct stat st {};
        if (RegularAt(folder, d->d_name, st) == 0) names.emplace_back(d->d_name);
    }
    ::closedir(dir);
    return names;
}

int OpenMaildir::Regular(const fs::path& relative, MaildirFileFacts& facts) const {
    struct stat st {};
    const int folder = Sub(relative.parent_path().string());
    if (folder < 0) return ENOENT;
    if (int error = RegularAt(folder, relative.filename().c_str(), st)) return error;
    facts.size = static_cast<std::uint64_t>(st.st_size);
    facts.modified = st.st_mtime;
    return 0;
}

int OpenMaildir::Remove(const fs::path& relative) const {
    const int folder = Sub(relative.parent_path().string());
    if (folder < 0) return ENOENT;
    return ::unlinkat(folder, relative.filename().c_str(), 0) == 0 ? 0 : errno;
}

// Only a regular file: never through a link, and never waiting (a FIFO would
// hold an open until a writer or a reader came). -1 with errno set otherwise.
int OpenMaildir::OpenFile(std::string_view name, int flags) const {
    const std::string file(name);
    struct stat st {};
    const int error = RegularAt(fd_, file.c_str(), st);
    if (error != 0 && !(error == ENOENT && (flags & O_CREAT))) return errno = error, -1;
    const int fd = ::openat(fd_, file.c_str(), flags | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return errno = kNotRegularFile, -1;
    }
    return fd;
}

int OpenMaildir::ReadFile(std::string_view name, std::string& bytes) const {
    const int fd = OpenFile(name, O_RDONLY);
    if (fd < 0) return errno;
    char chunk[65536];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return 0;
}

int OpenMaildir::AppendFile(std::string_view name, std::string_view bytes) const {
    const int fd = OpenFile(name, O_WRONLY | O_APPEND | O_CREAT);
    int error = fd < 0 ? errno : WriteAll(fd, bytes);
    if (fd >= 0 && ::close(fd) != 0 && error == 0) error = errno;
    return error;
}

int OpenMaildir::Sync() const { return ::syncfs(fd_) == 0 ? 0 : errno; }

MaildirFile::MaildirFile(std::shared_ptr<const OpenMaildir> open, std::string name)
    : open_(std::move(open)), name_(std::move(name)) {
    fd_ = ::openat(open_->temp_, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) createError_ = errno;
}

MaildirFile::~MaildirFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!delivered_) ::unlinkat(open_->temp_, name_.c_str(), 0);
}

int MaildirFile::Write(std::string_view bytes) { return fd_ < 0 ? EBADF : WriteAll(fd_, bytes); }

int MaildirFile::Truncate(std::uint64_t size) {
    if (fd_ < 0) return EBADF;
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int MaildirFile::Deliver() {
    int error = createError_;
    if (fd_ >= 0 && ::close(fd_) != 0) error = errno;
    fd_ = -1;
    if (error == 0 && ::renameat(open_->temp_, name_.c_str(), open_->fresh_, name_.c_str()) != 0)
        error = errno;
    delivered_ = error == 0;
    return error;
}

std::string NewMaildirName(std::time_t when) {
    static std::atomic<unsigned> counter{0};
    static const std::string host = [] {
        char name[64] = "vannoir";
        ::gethostname(name, sizeof name - 1);
        std::string safe;
        for (const char* c = name; *c; ++c) safe += (*c == '/' || *c == ':') ? '_' : *c;
        return safe;
    }();
    return IntToStr(when) + ".P" + IntToStr(::getpid()) + "Q" + IntToStr(++counter) + "." + host;
}
