#include "app/header_cache.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/file_replace.h"
#include "platform/text.h"

namespace {

constexpr std::string_view kEnd = "Fin\t";

// One file name per mailbox and receiving service, whatever its host and user hold.
std::string FileName(const MailboxIdentity& mailbox, const ResultService& service) {
    std::string ids = service.topmost ? "\t*" : "";
    for (const std::string& id : service.ids) ids += "\t" + id;
    return HeaderDigest({mailbox.host + "\t" + IntToStr(mailbox.port) + "\t" + mailbox.user + ids}) + ".TXT";
}

}  // namespace

HeaderCache::HeaderCache(std::filesystem::path folder, MailboxIdentity mailbox, const ResultService& service)
    : folder_(std::move(folder)), file_(folder_ / FileName(mailbox, service)), mailbox_(std::move(mailbox)) {}

void HeaderCache::Load() {
    rows_.clear();
    if (file_.empty()) return;
    std::string bytes;
    if (ReadWholeFile(file_, bytes) != 0 || bytes.size() > kMostBytes) return;
    // The last line counts the rows: a file cut short is none.
    if (bytes.size() < 2 || !bytes.ends_with("\r\n")) return;
    const std::size_t last = bytes.rfind("\r\n", bytes.size() - 3);
    const std::size_t start = last == std::string::npos ? 0 : last + 2;
    std::string_view end(bytes);
    end = end.substr(start, end.size() - 2 - start);
    if (!end.starts_with(kEnd)) return;
    const std::optional<std::int64_t> count = TryStrToInt64(std::string(end.substr(kEnd.size())));
    std::optional<ScanRecord> record = ParseScanRows(std::string_view(bytes).substr(0, start), mailbox_);
    if (!record || !count || static_cast<std::int64_t>(record->size()) != *count) return;
    for (ScanRow& row : *record) {
        if (row.uniqueId.empty()) return;
        std::string id = row.uniqueId;
        rows_.insert_or_assign(std::move(id), std::move(row));
    }
}

const ScanRow* HeaderCache::Find(const std::string& id) const {
    const auto found = rows_.find(id);
    return found == rows_.end() ? nullptr : &found->second;
}

int HeaderCache::Store(const ScanRecord& record) const {
    if (file_.empty()) return 0;
    ScanRecord kept;
    for (const ScanRow& row : record) {
        if (kept.size() == kMostRows) break;
        if (!row.uniqueId.empty()) kept.push_back(row);
    }
    std::error_code ec;
    std::filesystem::create_directories(folder_.parent_path(), ec);
    if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    const std::string bytes = FormatScanRows(mailbox_, kept) + std::string(kEnd) +
                              IntToStr(static_cast<std::int64_t>(kept.size())) + "\r\n";
    return ReplaceFileAtomically(file_, bytes, FileAccess::OwnerOnly);
}
