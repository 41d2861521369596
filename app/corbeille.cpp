#include "app/corbeille.h"

#include <algorithm>
#include <cerrno>

#include "app/corbeille_texts.h"
#include "app/texts.h"
#include "platform/control_characters.h"
#include "platform/file_replace.h"
#include "platform/ini_file.h"
#include "platform/maildir.h"
#include "platform/system_error_text.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "platform/text_lines.h"

namespace fs = std::filesystem;

namespace {

constexpr std::time_t kPartialFileAge = 36 * 3600;  // a tmp/ file older than this was abandoned

std::string FailureText(std::string_view what, const fs::path& path, int error) {
    return FormatText(std::string(what), {std::string(path.string()), SysErrorMessage(error)});
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

CorbeilleCopy::CorbeilleCopy(const fs::path& folder, std::shared_ptr<const OpenMaildir> open,
                             CorbeilleEntry entry, std::uint64_t limit, std::function<int()> fault)
    : folder_(folder), entry_(std::move(entry)), limit_(limit), fault_(std::move(fault)) {
    file_ = std::make_unique<MaildirFile>(std::move(open), entry_.file);
    if (int error = file_->CreateError())
        failure_ = FailureText(corbeille_texts::kCannotCreateCopy, folder_ / "tmp" / entry_.file, error);
}

CorbeilleCopy::~CorbeilleCopy() = default;

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
    if (int error = file_->Write(pending_)) return Fail(error);
    pending_.clear();
}

void CorbeilleCopy::Cut() {
    entry_.headerOnly = true;
    Flush();
    const std::uint64_t keep = headerEnd_ != 0 ? headerEnd_ : written_;
    if (failure_.empty())
        if (int error = file_->Truncate(keep)) Fail(error);
    written_ = keep;
}

const CorbeilleEntry& CorbeilleCopy::Keep() {
    Flush();
    if (failure_.empty())
        if (int error = file_->Deliver()) Fail(error);
    if (!failure_.empty()) throw ECorbeilleError(failure_);
    return entry_;
}

Corbeille::Corbeille(fs::path folder, CorbeilleLimits limits) : folder_(std::move(folder)), limits_(limits) {}

void Corbeille::Prepare() {
    // Checked once for all the copies of a batch.
    if (open_) return;
    fs::path failed;
    if (int error = OpenMaildir::Make(folder_, failed))
        throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, failed, error));
    std::shared_ptr<OpenMaildir> open = Open();
    if (!open) throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, folder_, ENOENT));
    for (const char* sub : {"tmp", "new", "cur"})
        if (!open->Has(sub))
            throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, folder_ / sub, ENOENT));
    // An index the copies could not be named in: refused before the first.
    if (int error = open->AppendFile(corbeille_texts::kIndexFile, ""))
        throw ECorbeilleError(
            FailureText(corbeille_texts::kCannotWriteCopy, folder_ / corbeille_texts::kIndexFile, error));
    open_ = std::move(open);
}

std::shared_ptr<OpenMaildir> Corbeille::Open() const {
    int error = 0;
    fs::path failed;
    std::shared_ptr<OpenMaildir> open = OpenMaildir::Open(folder_, error, failed);
    if (error != 0) throw ECorbeilleError(FailureText(corbeille_texts::kCannotOpenFolder, failed, error));
    return open;
}

std::unique_ptr<CorbeilleCopy> Corbeille::Begin(CorbeilleEntry entry) {
    Prepare();
    entry.file = NewMaildirName(entry.deletedAt);
    return std::unique_ptr<CorbeilleCopy>(
        new CorbeilleCopy(folder_, open_, std::move(entry), limits_.messageBytes, fault_));
}

void Corbeille::Sync(const std::vector<CorbeilleEntry>& kept) {
    if (kept.empty()) return;
    if (!open_) throw ECorbeilleError(FailureText(corbeille_texts::kCannotWriteCopy, folder_ / "new", EBADF));
    std::string lines;
    for (const CorbeilleEntry& e : kept) lines += IndexLine(e);
    const fs::path index = folder_ / corbeille_texts::kIndexFile;
    if (int error = open_->AppendFile(corbeille_texts::kIndexFile, lines))
        throw ECorbeilleError(FailureText(corbeille_texts::kCannotWriteCopy, index, error));
    // The copies' data, their names in new/ and the index in one go, where
    // a flush per file costs a disk request and a commit each.
    if (int error = open_->Sync())
        throw ECorbeilleError(FailureText(corbeille_texts::kCannotWriteCopy, folder_ / "new", error));
}

std::vector<CorbeilleEntry> Corbeille::List() const {
    std::vector<CorbeilleEntry> entries;
    if (std::shared_ptr<OpenMaildir> open = Open())
        for (Listed& listed : Scan(*open)) entries.push_back(std::move(listed.entry));
    return entries;
}

std::vector<Corbeille::Listed> Corbeille::Scan(const OpenMaildir& open) const {
    std::string bytes;
    if (int error = open.ReadFile(corbeille_texts::kIndexFile, bytes); error != 0 && error != ENOENT)
        throw ECorbeilleError(
            FailureText(corbeille_texts::kCannotOpenFolder, folder_ / corbeille_texts::kIndexFile, error));
    std::vector<CorbeilleEntry> indexed;
    for (const TextLine& line : SplitTextLines(bytes)) {
        CorbeilleEntry e;
        if (ParseIndexLine(line.text, e)) indexed.push_back(std::move(e));
    }
    std::vector<Listed> listed;
    for (const char* sub : {"new", "cur"}) {
        for (const std::string& name : open.RegularFiles(sub)) {
            // A mail program may have moved it to cur/ with flags after ":".
            const std::string base = name.substr(0, name.find(':'));
            auto found = std::find_if(indexed.begin(), indexed.end(),
                                      [&](const CorbeilleEntry& e) { return e.file == base; });
            Listed l{{}, found != indexed.end()};
            const fs::path file = fs::path(sub) / name;
            if (l.indexed) {
                l.entry = *found;
            } else {
                MaildirFileFacts facts;
                open.Regular(file, facts);
                l.entry.deletedAt = facts.modified;
                l.entry.size = facts.size;
            }
            l.entry.file = file.string();
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

void Corbeille::Empty() {
    const std::shared_ptr<OpenMaildir> open = Open();
    if (!open) return;
    // Only the copies the index names: whatever else lies there is not ours.
    std::vector<CorbeilleEntry> unnamed;
    for (const Listed& l : Scan(*open)) {
        if (!l.indexed) continue;
        if (int error = open->Remove(l.entry.file); error != 0 && error != ENOENT)
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
        const std::shared_ptr<OpenMaildir> open = Open();
        if (!open) return 0;
        const std::time_t oldest = now - static_cast<std::time_t>(limits_.days) * 86400;
        std::uint64_t total = 0;
        std::vector<CorbeilleEntry> kept;
        for (const Listed& l : Scan(*open)) {  // newest first
            if (!l.indexed) continue;          // not ours to remove
            MaildirFileFacts facts;
            const std::uint64_t onDisk = open->Regular(l.entry.file, facts) == 0 ? facts.size : 0;
            const bool goes = l.entry.deletedAt < oldest || total + onDisk > limits_.totalBytes;
            if (goes && open->Remove(l.entry.file) == 0) {
                ++removed;
                continue;
            }
            total += onDisk;
            kept.push_back(l.entry);
        }
        for (const std::string& name : open->RegularFiles("tmp")) {
            MaildirFileFacts facts;
            const fs::path file = fs::path("tmp") / name;
            if (open->Regular(file, facts) == 0 && facts.modified < now - kPartialFileAge) open->Remove(file);
        }
        if (removed > 0) RewriteIndex(kept);
    } catch (const std::exception&) {
    }
    return removed;
}
