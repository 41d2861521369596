#pragma once
// The friend and intruder lists: sender display names, matched as whole
// texts ignoring case (locale-aware), kept in files of one name per line.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/id_exception.h"

// A list file that cannot be read: "Impossible d'ouvrir le fichier "<path>". <reason>".
class EListFileOpenError : public EIdException {
public:
    EListFileOpenError(const std::filesystem::path& path, int error);
};
// A list file that cannot be written: "Impossible de créer le fichier "<path>". <reason>".
class EListFileCreateError : public EIdException {
public:
    EListFileCreateError(const std::filesystem::path& path, int error);
};

// Entries of a list file: pieces between line ends (CR LF, CR alone, LF
// alone), empty pieces included, no entry after a final line end; a byte 0
// ends the reading.
std::vector<std::string> ParseListFile(std::string_view bytes);
// Every entry followed by CR LF; an empty list gives an empty file.
std::string FormatListFile(const std::vector<std::string>& entries);

// Throws EListFileOpenError.
std::vector<std::string> LoadListFile(const std::filesystem::path& path);
// Replaces the file (never creating its folder). Throws EListFileCreateError.
void SaveListFile(const std::filesystem::path& path, const std::vector<std::string>& entries);

// The friend and intruder lists as the box of a list dialog orders them: by
// the locale-aware comparison ignoring case, equal names in their order.
void SortLikeListBox(std::vector<std::string>& entries);

// An in-memory list: unsorted, in file order then in order of addition.
class SenderList {
public:
    const std::vector<std::string>& Entries() const { return entries_; }
    void Assign(std::vector<std::string> entries) { entries_ = std::move(entries); }
    void Clear() { entries_.clear(); }
    // Index of the first entry matching `name`, or -1.
    int IndexOf(std::string_view name) const;
    bool Contains(std::string_view name) const { return IndexOf(name) >= 0; }
    // Appends `name` unless an entry matches it; false when it was there.
    bool Add(std::string name);

private:
    std::vector<std::string> entries_;
};
