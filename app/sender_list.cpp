#include "app/sender_list.h"

#include <algorithm>

#include "app/texts.h"
#include "platform/file_replace.h"
#include "platform/system_error_text.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "platform/text_lines.h"

namespace {

std::string Quoted(std::string_view pattern, const std::filesystem::path& path, int error) {
    return FormatText(Ansi(pattern), {Utf8ToAnsi(path.string()), SysErrorMessage(error)});
}

}  // namespace

EListFileOpenError::EListFileOpenError(const std::filesystem::path& path, int error)
    : EIdException(Quoted(texts::kCannotOpenFile, path, error)) {}

EListFileCreateError::EListFileCreateError(const std::filesystem::path& path, int error)
    : EIdException(Quoted(texts::kCannotCreateFile, path, error)) {}

std::vector<std::string> ParseListFile(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    std::vector<std::string> entries;
    for (TextLine& line : SplitTextLines(bytes)) entries.push_back(std::move(line.text));
    return entries;
}

std::string FormatListFile(const std::vector<std::string>& entries) {
    std::string bytes;
    for (const std::string& entry : entries) bytes += entry + "\r\n";
    return bytes;
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
                     [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
}

int SenderList::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (AnsiSameText(entries_[i], name)) return static_cast<int>(i);
    return -1;
}

bool SenderList::Add(std::string name) {
    if (Contains(name)) return false;
    entries_.push_back(std::move(name));
    return true;
}
