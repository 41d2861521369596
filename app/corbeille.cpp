#include "app/corbeille.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "app/corbeille_texts.h"
#include "app/texts.h"
#include "platform/control_characters.h"
#include "platform/file_replace.h"
#include "platform/ini_file.h"
#include "platform/system_error_text.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "platform/text_lines.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSubfolders[] = {"tmp", "new", "cur"};
constexpr std::time_t kPartialFileAge = 36 * 3600;  // a tmp/ file older than this was abandoned

std::string FailureText(std::string_view what, const fs::path& path, int error) {
    return FormatText(std::string(what), {std::string(path.string()), SysErrorMessage(error)});
}

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

// A unique Maildir name: time, process, counter, host.
std::string NewFileName(std::time_t when) {
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

std::string Field(std::string_view text) { return std::string(WithoutControls(text)); }

// Inside the flags field, so that an index line keeps its eight fields for
// the readers before it.
std::string AuthenticationLetter(SenderAuthentication authentication) {
    switch (authentication) {
        case SenderAuthentication::Authenticated:
            return "A";
        case SenderAuthentication::Failed:
            return "F";
        default:
            return "";
    }
}

std::string IndexLine(const CorbeilleEntry& e) {
    const std::string fields[] = {Field(e.file),
                                  IntToStr(e.deletedAt),
                                  Field(e.account),
                                  Field(e.sender),
                                  Field(e.address),
                                  Field(e.subject),
                                  IntToStr(static_cast<std::int64_t>(e.size)),
                                  std::string(e.headerOnly ? "1" : "0") +
                                      AuthenticationLetter(e.authentication) + (e.deleted ? "" : "N")};
    std::string line;
    for (const std::string& field : fields) line += (line.empty() ? "" : "\t") + field;
    return line + "\n";
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
        fields.push_back(line.substr(from, tab - from));
    fields.push_back(line.substr(from));
    return fields;
}

bool ParseIndexLine(const std::string& line, CorbeilleEntry& e) {
    const std::vector<std::string> f = SplitTabs(line);
    if (f.size() != 8 || f[0].empty() || f[0].find('/') != std::string::npos) return false;
    e.file = f[0];
    e.deletedAt = static_cast<std::time_t>(TryStrToInt64(f[1]).value_or(0));
    // As written, unless the index was written by hand.
    e.account = Field(f[2]);
    e.sender = Field(f[3]);
    e.address = Field(f[4]);
    e.subject = Field(f[5]);
    e.size = static_cast<std::uint64_t>(std::max<std::int64_t>(0, TryStrToInt64(f[6]).value_or(0)));
    e.headerOnly = f[7].starts_with("1");
    e.deleted = !f[7].ends_with("N");
    if (f[7].find('A') != std::string::npos) e.authentication = SenderAuthentication::Authenticated;
    if (f[7].find('F') != std::string::npos) e.authentication = SenderAuthentication::Failed;
    return true;
}

}  // namespace

CorbeilleLimits ReadCorbeilleLimits(const TIniFile& ini) {
    CorbeilleLimits limits;
    const auto positive = [&](std::string_view key, std::int64_t fallback) {
        const int value = ini.ReadInteger(texts::kSection, key, -1);
        return value > 0 ? value : fallback;
    };
    limits.enabled = ini.ReadInteger(texts::kSection, corbeille_texts::kEnabledKey, 1) != 0;
    limits.days = static_cast<int>(positive(corbeille_texts::kDaysKey, limits.days));
    limits.messageBytes =
        static_cast<std::uint64_t>(positive(corbeille_texts::kMessageSizeKey, limits.messageBytes >> 20))
        << 20;
    limits.totalBytes =
        static_cast<std::uint64_t>(positive(corbeille_texts::kTotalSizeKey, limits.totalBytes >> 20)) << 20;
    return limits;
}

std::string CorbeilleDate(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d/%m/%Y %H:%M:%S", &local);
    return text;
}

std::string DeletedText(const CorbeilleEntry& entry) {
    return entry.deleted ? CorbeilleDate(entry.deletedAt) : std::string(corbeille_texts::kNotDeleted);
}

struct CorbeilleOpenFolder {
    // The Corbeille and its tmp/, new/ and cur/, each opened without
    // following a link: names are made, moved, read and removed relative to
    // them, so a link put in place of a folder never leads elsewhere. -1 for
    // a subfolder that is not there.
    int fd = -1, temp = -1, fresh = -1, cur = -1;
    CorbeilleOpenFolder() = default;
    CorbeilleOpenFolder(const CorbeilleOpenFolder&) = delete;
    CorbeilleOpenFolder& operator=(const CorbeilleOpenFolder&) = delete;
    ~CorbeilleOpenFolder() {
        for (int f : {cur, fresh, temp, fd})
            if (f >= 0) ::close(f);
    }
    int Sub(std::string_view name) const { return name == "tmp" ? temp : name == "new" ? fresh : cur; }
};

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;

// Whether `name` in `folder` is a regular file, not through a link. 0 or
// errno (kNotRegularFile for a FIFO, a device, a socket).
int RegularAt(int folder, const char* name, struct stat& st) {
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (S_ISLNK(st.st_mode)) return ELOOP;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    return S_ISREG(st.st_mode) ? 0 : kNotRegularFile;
}

// The index opened with `flags`, only when it is a regular file: never
// through a link, and never waiting (a FIFO would hold an open until a
// writer or a reader came). -1 with errno set otherwise.
int OpenIndex(int folder, int flags) {
    const std::string name(corbeille_texts::kIndexFile);
    struct stat st {};
    const int error = RegularAt(folder, name.c_str(), st);
    if (error != 0 && !(error == ENOENT && (flags & O_CREAT))) return errno = error, -1;
    const int fd = ::openat(folder, name.c_str(), flags | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return errno = kNotRegularFile, -1;
    }
    return fd;
}

// The regular files of an open folder, by name.
std::vector<std::string> RegularFiles(int folder) {
    std::vector<std::string> names;
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

}  // namespace

CorbeilleCopy::CorbeilleCopy(const fs::path& folder, std::shared_ptr<const CorbeilleOpenFolder> open,
                             CorbeilleEntry entry, std::uint64_t limit, std::function<int()> fault)
    : folder_(folder),
      open_(std::move(open)),
      entry_(std::move(entry)),
      limit_(limit),
      fault_(std::move(fault)) {
    fd_ = ::openat(open_->temp, entry_.file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                   0600);
    if (fd_ < 0)
        failure_ = FailureText(corbeille_texts::kCannotCreateCopy, folder_ / "tmp" / entry_.file, errno);
}

CorbeilleCopy::~CorbeilleCopy() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlinkat(open_->temp, entry_.file.c_str(), 0);
}

void CorbeilleCopy::Fail(int error) {
    if (failure_.empty())
        failure_ = FailureText(corbeille_texts::kCannotWriteCopy, folder_ / "tmp" / entry_.file, error);
}

void CorbeilleCopy::Append(std::string_view bytes) {
    entry_.size += bytes.size();
    if (!failure_.empty() || entry_.headerOnly) return;
    // The blank line that ends the header block: the most a big message
    // keeps. A piece never goes past a line end, but a line may come in pieces.
    const bool ends = bytes.ends_with('\n');
    const std::uint64_t lineBytes = lineBytes_ + bytes.size();
    const bool crBefore = bytes.size() >= 2 ? bytes[bytes.size() - 2] == '\r' : lastByte_ == '\r';
    const bool blankLine = ends && (lineBytes == 1 || (lineBytes == 2 && crBefore));
    lineBytes_ = ends ? 0 : lineBytes;
    if (!bytes.empty()) lastByte_ = bytes.back();
    if (written_ + bytes.size() > limit_) return Cut();
    pending_.append(bytes);
    written_ += bytes.size();
    if (blankLine && headerEnd_ == 0) headerEnd_ = written_;
    // Lines come one by one: the file gets them in large writes.
    if (pending_.size() >= kWriteSize) Flush();
}

void CorbeilleCopy::Flush() {
    if (pending_.empty() || !failure_.empty()) return;
    if (int error = fault_ ? fault_() : 0) return Fail(error);
    if (int error = WriteAll(fd_, pending_)) return Fail(error);
    pending_.clear();
}

void CorbeilleCopy::Cut() {
    entry_.headerOnly = true;
    Flush();
    const std::uint64_t keep = headerEnd_ != 0 ? headerEnd_ : written_;
    if (failure_.empty() && ::ftruncate(fd_, static_cast<off_t>(keep)) != 0) Fail(errno);
    written_ = keep;
}

const CorbeilleEntry& CorbeilleCopy::Keep() {
    Flush();
    if (fd_ >= 0 && ::close(fd_) != 0) Fail(errno);
    fd_ = -1;
    if (failure_.empty() &&
        ::renameat(open_->temp, entry_.file.c_str(), open_->fresh, entry_.file.c_str()) != 0)
        Fail(errno);
    if (!failure_.empty()) throw ECorbeilleError(failure_);
    kept_ = true;
    return entry_;
}

Corbeille::Corbeille(fs::path folder, CorbeilleLimits limits) : folder_(std::move(folder)), limits_(limits) {}

void Corbeille::Prepare() {
    // Checked once for all the copies of a batch.
    if (open_) return;
    // Missing parents (a data folder not made yet) are private too.
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path f = folder_.parent_path(); !f.empty() && !fs::exists(f, ec); f = f.parent_path()) {
        missing.push_back(f);
        if (f == f.parent_path()) break;
    }
    for (auto f = missing.rbegin(); f != missing.rend(); ++f)
        if (int error = PrivateFolder(*f))
            throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, *f, error));
    if (int error = PrivateFolder(folder_))
        throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, folder_, error));
    for (const char* sub : kSubfolders)
        if (int error = PrivateFolder(folder_ / sub))
            throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, folder_ / sub, error));
    std::shared_ptr<CorbeilleOpenFolder> open = Open();
    if (!open) throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, folder_, ENOENT));
    for (const char* sub : kSubfolders)
        if (open->Sub(sub) < 0)
            throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, folder_ / sub, ENOENT));
    // An index the copies could not be named in: refused before the first.
    const int index = OpenIndex(open->fd, O_WRONLY | O_APPEND | O_CREAT);
    if (index < 0)
        throw ECorbeilleError(
            FailureText(corbeille_texts::kCannotWriteCopy, folder_ / corbeille_texts::kIndexFile, errno));
    ::close(index);
    open_ = std::move(open);
}

std::shared_ptr<CorbeilleOpenFolder> Corbeille::Open() const {
    auto open = std::make_shared<CorbeilleOpenFolder>();
    open->fd = ::open(folder_.c_str(), kFolderFlags);
    if (open->fd < 0) {
        if (errno == ENOENT) return nullptr;
        throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, folder_, errno));
    }
    int* const subfolders[] = {&open->temp, &open->fresh, &open->cur};  // as kSubfolders
    for (std::size_t i = 0; i < std::size(kSubfolders); ++i) {
        *subfolders[i] = ::openat(open->fd, kSubfolders[i], kFolderFlags);
        if (*subfolders[i] < 0 && errno != ENOENT)
            throw ECorbeilleError(
                FailureText(corbeille_texts::kCannotOpenFolder, folder_ / kSubfolders[i], errno));
    }
    return open;
}

std::unique_ptr<CorbeilleCopy> Corbeille::Begin(CorbeilleEntry entry) {
    Prepare();
    entry.file = NewFileName(entry.deletedAt);
    return std::unique_ptr<CorbeilleCopy>(
        new CorbeilleCopy(folder_, open_, std::move(entry), limits_.messageBytes, fault_));
}

void Corbeille::Sync(const std::vector<CorbeilleEntry>& kept) {
    if (kept.empty()) return;
    if (!open_) throw ECorbeilleError(FailureText(corbeille_texts::kCannotWriteCopy, folder_ / "new", EBADF));
    std::string lines;
    for (const CorbeilleEntry& e : kept) lines += IndexLine(e);
    const fs::path index = folder_ / corbeille_texts::kIndexFile;
    const int fd = OpenIndex(open_->fd, O_WRONLY | O_APPEND | O_CREAT);
    int error = fd < 0 ? errno : WriteAll(fd, lines);
    if (fd >= 0 && ::close(fd) != 0 && error == 0) error = errno;
    if (error) throw ECorbeilleError(FailureText(corbeille_texts::kCannotWriteCopy, index, error));
    // The copies' data, their names in new/ and the index in one go: the
    // disk takes the file system's writes together where a flush per file
    // costs a disk request and a commit each. The folder was open before
    // the first copy was written, so a write-back error of any of them is
    // reported here.
    if (::syncfs(open_->fd) != 0)
        throw ECorbeilleError(FailureText(corbeille_texts::kCannotWriteCopy, folder_ / "new", errno));
}

std::vector<CorbeilleEntry> Corbeille::List() const {
    std::vector<CorbeilleEntry> entries;
    if (std::shared_ptr<CorbeilleOpenFolder> open = Open())
        for (Listed& listed : Scan(*open)) entries.push_back(std::move(listed.entry));
    return entries;
}

std::vector<Corbeille::Listed> Corbeille::Scan(const CorbeilleOpenFolder& open) const {
    std::string bytes;
    if (const int fd = OpenIndex(open.fd, O_RDONLY); fd >= 0) {
        char chunk[65536];
        for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) != 0;) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            bytes.append(chunk, static_cast<std::size_t>(n));
        }
        ::close(fd);
    } else if (errno != ENOENT) {
        throw ECorbeilleError(
            FailureText(corbeille_texts::kCannotOpenFolder, folder_ / corbeille_texts::kIndexFile, errno));
    }
    std::vector<CorbeilleEntry> indexed;
    for (const TextLine& line : SplitTextLines(bytes)) {
        CorbeilleEntry e;
        if (ParseIndexLine(line.text, e)) indexed.push_back(std::move(e));
    }
    std::vector<Listed> listed;
    for (const char* sub : {"new", "cur"}) {
        const int folder = open.Sub(sub);
        for (const std::string& name : RegularFiles(folder)) {
            // A mail program may have moved it to cur/ with flags after ":".
            const std::string base = name.substr(0, name.find(':'));
            auto found = std::find_if(indexed.begin(), indexed.end(),
                                      [&](const CorbeilleEntry& e) { return e.file == base; });
            Listed l{{}, found != indexed.end()};
            if (l.indexed) {
                l.entry = *found;
            } else {
                struct stat st {};
                ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW);
                l.entry.deletedAt = st.st_mtime;
                l.entry.size = static_cast<std::uint64_t>(st.st_size);
            }
            l.entry.file = (fs::path(sub) / name).string();
            listed.push_back(std::move(l));
        }
    }
    std::stable_sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        return a.entry.deletedAt != b.entry.deletedAt ? a.entry.deletedAt > b.entry.deletedAt
                                                      : a.entry.file > b.entry.file;
    });
    return listed;
}

fs::path Corbeille::PathOf(const CorbeilleEntry& entry) const { return folder_ / entry.file; }

void Corbeille::Extract(int number, const fs::path& target) const {
    const std::vector<CorbeilleEntry> entries = List();
    if (number < 1 || static_cast<std::size_t>(number) > entries.size())
        throw ECorbeilleError(FormatText(std::string(corbeille_texts::kNoSuchCopy), {IntToStr(number)}));
    const fs::path source = PathOf(entries[static_cast<std::size_t>(number) - 1]);
    std::string bytes;
    if (int error = ReadWholeFile(source, bytes))
        throw ECorbeilleError(FailureText(texts::kCannotOpenFile, source, error));
    if (int error = ReplaceFileAtomically(target, bytes, FileAccess::OwnerOnly))
        throw ECorbeilleError(FailureText(texts::kCannotCreateFile, target, error));
}

// Removes a listed copy where it was found, never through a link.
int Corbeille::Remove(const CorbeilleOpenFolder& open, const CorbeilleEntry& entry) {
    const fs::path file(entry.file);
    return ::unlinkat(open.Sub(file.parent_path().string()), file.filename().c_str(), 0) == 0 ? 0 : errno;
}

void Corbeille::Empty() {
    const std::shared_ptr<CorbeilleOpenFolder> open = Open();
    if (!open) return;
    // Only the copies the index names: whatever else lies there is not ours.
    std::vector<CorbeilleEntry> unnamed;
    for (const Listed& l : Scan(*open)) {
        if (!l.indexed) continue;
        if (int error = Remove(*open, l.entry); error != 0 && error != ENOENT)
            throw ECorbeilleError(FailureText(corbeille_texts::kCannotRemoveCopy, PathOf(l.entry), error));
    }
    RewriteIndex({});
}

void Corbeille::RewriteIndex(const std::vector<CorbeilleEntry>& entries) const {
    std::string lines;
    for (CorbeilleEntry e : entries) {
        e.file = fs::path(e.file).filename().string();
        e.file = e.file.substr(0, e.file.find(':'));
        lines += IndexLine(e);
    }
    const fs::path index = folder_ / corbeille_texts::kIndexFile;
    if (int error = ReplaceFileAtomically(index, lines, FileAccess::OwnerOnly))
        throw ECorbeilleError(FailureText(texts::kCannotCreateFile, index, error));
}

int Corbeille::Prune(std::time_t now) {
    int removed = 0;
    try {
        const std::shared_ptr<CorbeilleOpenFolder> open = Open();
        if (!open) return 0;
        const std::time_t oldest = now - static_cast<std::time_t>(limits_.days) * 86400;
        std::uint64_t total = 0;
        std::vector<CorbeilleEntry> kept;
        for (const Listed& l : Scan(*open)) {  // newest first
            if (!l.indexed) continue;          // not ours to remove
            const fs::path file(l.entry.file);
            struct stat st {};
            const std::uint64_t onDisk =
                RegularAt(open->Sub(file.parent_path().string()), file.filename().c_str(), st) == 0
                    ? static_cast<std::uint64_t>(st.st_size)
                    : 0;
            const bool goes = l.entry.deletedAt < oldest || total + onDisk > limits_.totalBytes;
            if (goes && Remove(*open, l.entry) == 0) {
                ++removed;
                continue;
            }
            total += onDisk;
            kept.push_back(l.entry);
        }
        for (const std::string& name : RegularFiles(open->temp)) {
            struct stat st {};
            if (RegularAt(open->temp, name.c_str(), st) == 0 && st.st_mtime < now - kPartialFileAge)
                ::unlinkat(open->temp, name.c_str(), 0);
        }
        if (removed > 0) RewriteIndex(kept);
    } catch (const std::exception&) {
    }
    return removed;
}
