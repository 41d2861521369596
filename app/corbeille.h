#pragma once
// The Corbeille: a Maildir (tmp/, new/, cur/) that keeps a copy of every
// message the program deletes, written and flushed before its deletion.
// One file per message, the bytes as the server sent them (dot-unstuffed,
// CR LF kept). Beside the files, "Index.TXT" (UTF-8, one tab-separated line
// per copy) keeps what the listing shows: file, deleted at (seconds since
// 1970), account, sender, address, subject, size, "1" for a header-only copy
// ("0" else), then "A" or "F" when the sender's provider authenticated it or
// said it failed, then "N" when the message was not deleted after all.
// The Maildir's files are written, read and removed as platform/maildir.h
// says: owner-only, never through a link, never a file that is not regular.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "message/authentication_results.h"
#include "platform/id_exception.h"

class MaildirFile;
class OpenMaildir;
class TIniFile;

struct CorbeilleLimits {
    bool enabled = true;                       // "Corbeille" (0: off)
    int days = 30;                             // "CorbeilleJours"
    std::uint64_t messageBytes = 20ull << 20;  // "CorbeilleTailleMax", in MB
    std::uint64_t totalBytes = 500ull << 20;   // "CorbeilleTailleTotale", in MB
};
// The limits of the settings file; a missing or unusable key keeps its
// default (a number not above 0 too). Never throws.
CorbeilleLimits ReadCorbeilleLimits(const TIniFile& ini);

// A copy could not be written, or the Corbeille not read or changed. The
// text is French.
class ECorbeilleError : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(LocalFile)
};
VANNOIR_LIST_ERROR(ECorbeilleError, std::string("x"));

// What the listing shows of a kept message .
struct CorbeilleEntry {
    std::string file;  // its name in new/ or cur/
    std::time_t deletedAt = 0;
    std::string account;  // "user@host:port"
    std::string sender;   // as the grid showed it
    std::string address;
    std::string subject;
    std::uint64_t size = 0;  // the message's size as received
    bool headerOnly = false;
    bool deleted = true;  // false: the server refused its DELE, or it never went
    SenderAuthentication authentication = SenderAuthentication::Unknown;
};

// One message on its way into the Corbeille. Bytes are written as they
// come; a failure is kept and reported by Keep. Destroyed without Keep, the
// partial file goes.
class CorbeilleCopy {
public:
    ~CorbeilleCopy();
    CorbeilleCopy(const CorbeilleCopy&) = delete;
    CorbeilleCopy& operator=(const CorbeilleCopy&) = delete;
    // Past the per-message limit only the header block is kept.
    void Append(std::string_view bytes);
    // Writes the rest and moves the file into new/; it is durable once
    // Corbeille::Sync returned. Throws ECorbeilleError; the file is then removed.
    const CorbeilleEntry& Keep();

private:
    friend class Corbeille;
    CorbeilleCopy(const std::filesystem::path& folder, std::shared_ptr<const OpenMaildir> open,
                  CorbeilleEntry entry, std::uint64_t limit, std::function<int()> fault);
    void Fail(int error);
    void Flush();
    void Cut();
    static constexpr std::size_t kWriteSize = 65536;

    std::filesystem::path folder_;
    CorbeilleEntry entry_;
    std::uint64_t limit_;
    std::function<int()> fault_;
    std::unique_ptr<MaildirFile> file_;
    std::uint64_t written_ = 0;    // accepted, pending_ included
    std::string pending_;          // not yet written
    std::uint64_t headerEnd_ = 0;  // 0 while the blank line has not come
    std::uint64_t lineBytes_ = 0;  // of the line not yet ended
    char lastByte_ = 0;
    std::string failure_;
};

class Corbeille {
public:
    Corbeille(std::filesystem::path folder, CorbeilleLimits limits);
    const std::filesystem::path& Folder() const { return folder_; }
    const CorbeilleLimits& Limits() const { return limits_; }

    // A new copy, its file created in tmp/ (the folders made when missing).
    // Throws ECorbeilleError.
    std::unique_ptr<CorbeilleCopy> Begin(CorbeilleEntry entry);
    // Makes the copies kept since the last call durable, with their index
    // lines appended. Called once for a whole deletion: the disk commits
    // them together. Throws ECorbeilleError.
    void Sync(const std::vector<CorbeilleEntry>& kept);

    // The kept messages, newest first: numbered from 1 in this order. Throws
    // ECorbeilleError for a folder that cannot be read or is a link, and an
    // index that is not a regular file.
    std::vector<CorbeilleEntry> List() const;
    // The path of a listed entry's file.
    std::filesystem::path PathOf(const CorbeilleEntry& entry) const;
    // Copies entry `number` (from 1, as List gives them) to `target`.
    // Throws ECorbeilleError (no such number, unreadable, unwritable).
    void Extract(int number, const std::filesystem::path& target) const;
    // Removes every copy the index names. Throws ECorbeilleError (as List,
    // and for a copy that cannot go).
    void Empty();
    // Removes the copies the index names older than the days kept, then the
    // oldest while the whole is above its limit, and partial files left in
    // tmp/. Returns how many copies went. Never throws: a copy that cannot
    // go stays, and a Corbeille List refuses loses nothing.
    int Prune(std::time_t now);

    // For tests: an errno every write returns instead of writing (0: write).
    void SetWriteFault(std::function<int()> fault) { fault_ = std::move(fault); }

private:
    struct Listed {
        CorbeilleEntry entry;
        bool indexed;  // the index names it: only then is it removed
    };
    void Prepare();
    // The folders as they are, none made; nothing when the Corbeille is not
    // there. Throws ECorbeilleError for a link or another failure.
    std::shared_ptr<OpenMaildir> Open() const;
    std::vector<Listed> Scan(const OpenMaildir& open) const;
    void RewriteIndex(const std::vector<CorbeilleEntry>& entries) const;

    std::filesystem::path folder_;
    CorbeilleLimits limits_;
    std::function<int()> fault_;
    // The folders, opened once they were checked, before the first copy.
    std::shared_ptr<OpenMaildir> open_;
};

// "dd/mm/yyyy hh:nn:ss", local time.
std::string CorbeilleDate(std::time_t when);
// When the entry's message was deleted, CorbeilleDate, or "non supprimé".
std::string DeletedText(const CorbeilleEntry& entry);
