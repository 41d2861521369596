#pragma once
// A Maildir on disk: a folder with tmp/, new/ and cur/, the folders
// owner-only (0700) and the files 0600. Names are made, moved, read and
// removed relative to folders opened without following a link, so that a
// link put in place of a folder or a file never leads elsewhere, and a file
// that is not a regular one (a FIFO) is never opened. Failures are errno
// values (kNotRegularFile for a FIFO, a device, a socket); the caller words
// them.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A regular file's size and last change.
struct MaildirFileFacts {
    std::uint64_t size = 0;
    std::time_t modified = 0;
};

class OpenMaildir {
public:
    // Makes the folder, its missing parents and its subfolders, owner-only;
    // a link or anything but a folder in their place is refused. 0, or the
    // errno with the path that failed in `failed`.
    static int Make(const std::filesystem::path& folder, std::filesystem::path& failed);
    // The folder and its subfolders as they are, none made. Null with
    // `error` 0 when the folder is not there; null with the errno in `error`
    // and the path in `failed` for a link or another failure. A missing
    // subfolder is no failure: it holds no file.
    static std::shared_ptr<OpenMaildir> Open(const std::filesystem::path& folder, int& error,
                                             std::filesystem::path& failed);

    OpenMaildir() = default;
    ~OpenMaildir();
    OpenMaildir(const OpenMaildir&) = delete;
    OpenMaildir& operator=(const OpenMaildir&) = delete;

    // Whether subfolder `sub` ("tmp", "new", "cur") is there.
    bool Has(std::string_view sub) const { return Sub(sub) >= 0; }
    // The regular files of a subfolder, by name.
    std::vector<std::string> RegularFiles(std::string_view sub) const;
    // 0 when `relative` ("new/<name>") is a regular file, its facts then in
    // `facts`; else the errno.
    int Regular(const std::filesystem::path& relative, MaildirFileFacts& facts) const;
    // 0 or errno.
    int Remove(const std::filesystem::path& relative) const;

    // A file of the folder itself (an index beside the messages): read
    // whole, or appended to (made when missing; nothing appended still
    // checks that it can be). 0, ENOENT for a file not there, or errno.
    int ReadFile(std::string_view name, std::string& bytes) const;
    int AppendFile(std::string_view name, std::string_view bytes) const;

    // Makes every write since the folder was opened durable: the disk takes
    // them together, and a write-back error of any of them is reported
    // here. 0 or errno.
    int Sync() const;

private:
    friend class MaildirFile;
    int Sub(std::string_view name) const;
    int OpenFile(std::string_view name, int flags) const;

    int fd_ = -1, temp_ = -1, fresh_ = -1, cur_ = -1;
};

// One message on its way into a Maildir: made in tmp/, written, then moved
// into new/. Destroyed before it was delivered, the file goes.
class MaildirFile {
public:
    // Creates tmp/<name>, a name not yet there (NewMaildirName).
    MaildirFile(std::shared_ptr<const OpenMaildir> open, std::string name);
    ~MaildirFile();
    MaildirFile(const MaildirFile&) = delete;
    MaildirFile& operator=(const MaildirFile&) = delete;

    // 0, or why the file could not be created.
    int CreateError() const { return createError_; }
    // 0 or errno.
    int Write(std::string_view bytes);
    // Keeps the first `size` bytes; 0 or errno.
    int Truncate(std::uint64_t size);
    // Closes the file and moves it into new/; 0 or errno.
    int Deliver();

private:
    std::shared_ptr<const OpenMaildir> open_;
    std::string name_;
    int fd_ = -1;
    int createError_ = 0;
    bool delivered_ = false;
};

// A name unique across processes and hosts: time, process, counter, host.
std::string NewMaildirName(std::time_t when);
