#pragma once
// The rows of the messages a scan has already read, per mailbox, keyed by the
// server's unique id (UIDL): a later scan fetches only the headers it has not
// seen, or whose listed size changed. One file per mailbox in the cache
// folder ("EnTetes", beside the settings), owner-only, replaced atomically,
// in the scan record's row layout followed by "Fin<TAB>rows". A file that
// does not read all through (damaged, cut short, of another mailbox or
// layout, too large) counts as none: the scan is then the full one.
#include <cstddef>
#include <filesystem>
#include <string>
#include <unordered_map>

#include "app/scan_record.h"
#include "app/scan_record_file.h"
#include "message/authentication_results.h"

class HeaderCache {
public:
    // Bounds: a larger mailbox keeps its first rows only; a larger file is
    // not read.
    static constexpr std::size_t kMostRows = 200000;
    static constexpr std::size_t kMostBytes = 128u << 20;

    HeaderCache() = default;
    // The cache of `mailbox` in `folder`; nothing is read yet. The rows hold
    // the receiving service's verdicts: another `service` (the account's
    // setting or the provider table changed) has a cache of its own.
    HeaderCache(std::filesystem::path folder, MailboxIdentity mailbox, const ResultService& service = {});

    // Reads the file; afterwards empty when there is none that reads. Never throws.
    void Load();
    bool Empty() const { return rows_.empty(); }
    std::size_t Size() const { return rows_.size(); }
    // The row kept for unique id `id`, or nullptr.
    const ScanRow* Find(const std::string& id) const;
    // Replaces the file by the rows of `record` that have a unique id, the
    // folder made owner-only when missing. Returns 0 or the errno of the
    // failure; a cache that cannot be written only costs the next scan time.
    int Store(const ScanRecord& record) const;

    const std::filesystem::path& File() const { return file_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path file_;
    MailboxIdentity mailbox_;
    std::unordered_map<std::string, ScanRow> rows_;
};
