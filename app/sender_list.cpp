#include "app/sender_list.h"

#include <algorithm>

#include "app/texts.h"
#include "message/address_text.h"
#include "platform/file_replace.h"
#include "platform/system_error_text.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "platform/text_lines.h"

namespace {

std::string Quoted(std::string_view pattern, const std::filesystem::path& path, int error) {
    return FormatText(std::string(pattern), {path.string(), SysErrorMessage(error)});
}

}  // namespace

EListFileOpenError::EListFileOpenError(const std::filesystem::path& path, int error)
    : EIdException(Quoted(texts::kCannotOpenFile, path, error)) {}

EListFileCreateError::EListFileCreateError(const std::filesystem::path& path, int error)
    : EIdException(Quoted(texts::kCannotCreateFile, path, error)) {}

namespace {
// A UTF-8 byte-order mark (what many editors write first) is a signature,
// not part of the first entry.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}  // namespace

std::vector<std::string> ParseListFile(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    const bool utf8 = IsNonAsciiUtf8(bytes);
    std::vector<std::string> entries;
    for (const TextLine& line : SplitTextLines(bytes))
        entries.push_back(Trim(utf8 ? line.text : AnsiToUtf8(line.text)));
    return entries;
}

std::string FormatListFile(const std::vector<std::string>& entries) {
    // Windows-1252 while it holds every entry, so that the old program still
    // reads the file, unless its first bytes would read back as a mark.
    if (std::all_of(entries.begin(), entries.end(), [](const std::string& e) { return FitsAnsi(e); })) {
        std::vector<std::string> ansi;
        ansi.reserve(entries.size());
        for (const std::string& entry : entries) ansi.push_back(Utf8ToAnsi(entry));
        std::string text = JoinCrLfLines(ansi);
        if (!text.starts_with(kByteOrderMark)) return text;
    }
    // A first entry that begins with U+FEFF keeps it behind a mark of its own.
    std::string text = JoinCrLfLines(entries);
    return text.starts_with(kByteOrderMark) ? std::string(kByteOrderMark) + text : text;
}

std::vector<std::string> LoadListFile(const std::filesystem::path& path) {
    std::string bytes;
    if (int error = ReadWholeFile(path, bytes)) throw EListFileOpenError(path, error);
    return ParseListFile(bytes);
}

void SaveListFile(const std::filesystem::path& path, const std::vector<std::string>& entries) {
    if (int error = ReplaceFileAtomically(path, FormatListFile(entries), FileAccess::KeepExisting))
        throw EListFileCreateError(path, error);
}

void SortLikeListBox(std::vector<std::string>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
}

namespace {

// `pattern` and `address` trimmed and folded.
bool AddressMatches(std::string_view pattern, std::string_view address) {
    if (address.empty()) return false;
    const std::size_t at = address.rfind('@');
    const std::string_view domain =
        at == std::string_view::npos ? std::string_view() : address.substr(at + 1);
    if (pattern.starts_with("*@")) pattern.remove_prefix(1);
    if (pattern.starts_with("@"))
        pattern.remove_prefix(1);
    else if (!pattern.starts_with("*."))
        return pattern == address;
    if (pattern.starts_with("*.")) return WithinDomain(domain, pattern.substr(2));
    return !pattern.empty() && pattern == domain;
}

bool NamesAddresses(std::string_view entry) {
    return entry.find('@') != std::string_view::npos || entry.starts_with("*.");
}

}  // namespace

bool EntryMatches(std::string_view entry, SenderKey sender) {
    SenderList list;
    list.Assign({std::string(entry)});
    return list.Matches(sender);
}

void SenderList::Assign(std::vector<std::string> entries) {
    entries_ = std::move(entries);
    Prepare();
}

void SenderList::Clear() {
    entries_.clear();
    prepared_.clear();
}

void SenderList::Prepare() {
    prepared_.clear();
    for (const std::string& entry : entries_) {
        std::string trimmed = Trim(entry);
        if (trimmed.empty()) continue;
        const bool addresses = NamesAddresses(trimmed);
        prepared_.push_back({FoldedText(trimmed), addresses});
    }
}

int SenderList::IndexOf(std::string_view text) const {
    const std::string sought = Trim(text);
    if (sought.empty()) return -1;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (SameText(Trim(entries_[i]), sought)) return static_cast<int>(i);
    return -1;
}

FoldedSender::FoldedSender(SenderKey sender) : shown(FoldedText(Trim(sender.shown))) {
    addresses.reserve(1 + sender.others.size());
    addresses.push_back(FoldedText(Trim(sender.address)));
    for (const std::string& other : sender.others) addresses.push_back(FoldedText(Trim(other)));
}

bool SenderList::Matches(const FoldedSender& sender) const {
    return std::any_of(prepared_.begin(), prepared_.end(), [&](const Prepared& entry) {
        if (!entry.addresses) return entry.text == sender.shown;
        return std::any_of(sender.addresses.begin(), sender.addresses.end(),
                           [&](const std::string& address) { return AddressMatches(entry.text, address); });
    });
}

bool SenderList::Add(std::string_view text) {
    std::string entry = Trim(text);
    if (entry.empty() || IndexOf(entry) >= 0) return false;
    entries_.push_back(std::move(entry));
    Prepare();
    return true;
}

bool SenderList::Remove(std::string_view text) {
    const std::size_t before = entries_.size();
    const std::string sought = Trim(text);
    std::erase_if(entries_,
                  [&](const std::string& entry) { return !sought.empty() && SameText(Trim(entry), sought); });
    if (entries_.size() == before) return false;
    Prepare();
    return true;
}
