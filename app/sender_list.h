#pragma once
// The friend and intruder lists, kept in files of one entry per line. An
// entry with "@" (or starting "*.") names addresses: "jean@exemple.fr" that
// one, "@exemple.fr" and "*@exemple.fr" every address of the domain,
// "*.exemple.fr" the domain and its subdomains, all ignoring case. Any other
// entry is a sender as the grid shows it, matched as a whole text ignoring
// case and the way accents are composed (FoldedText). An empty entry matches
// nothing.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/id_exception.h"

// A list file that cannot be read: "Impossible d'ouvrir le fichier "<path>". <reason>".
class EListFileOpenError : public EIdException {
public:
    EListFileOpenError(const std::filesystem::path& path, int error);
    VANNOIR_ERROR_KIND(LocalFile)
};
VANNOIR_LIST_ERROR(EListFileOpenError, std::filesystem::path("x"), 2);
// A list file that cannot be written: "Impossible de créer le fichier "<path>". <reason>".
class EListFileCreateError : public EIdException {
public:
    EListFileCreateError(const std::filesystem::path& path, int error);
    VANNOIR_ERROR_KIND(LocalFile)
};
VANNOIR_LIST_ERROR(EListFileCreateError, std::filesystem::path("x"), 2);

// Entries of a list file: pieces between line ends (CR LF, CR alone, LF
// alone), empty pieces included, no entry after a final line end; a byte 0
// ends the reading. Each entry is trimmed. A file of well-formed UTF-8 with
// non-ASCII characters (written by a text editor or from the command line)
// is read as UTF-8, any other as Windows-1252. A leading UTF-8 byte-order
// mark is dropped. Entries come out in UTF-8.
std::vector<std::string> ParseListFile(std::string_view bytes);
// Every entry followed by CR LF; an empty list gives an empty file. The file
// is in Windows-1252 when that holds every entry, else in UTF-8 (no mark).
std::string FormatListFile(const std::vector<std::string>& entries);

// Throws EListFileOpenError.
std::vector<std::string> LoadListFile(const std::filesystem::path& path);
// Replaces the file (never creating its folder). Throws EListFileCreateError.
void SaveListFile(const std::filesystem::path& path, const std::vector<std::string>& entries);

// The friend and intruder lists as the box of a list dialog orders them: by
// CompareText, equal names in their order.
void SortLikeListBox(std::vector<std::string>& entries);

// A message's sender as the lists see it: the text of the grid's sender
// column, the address of its From and any further address the From names
// (any empty). An address entry catches it when it catches
// any of the addresses.
struct SenderKey {
    std::string_view shown;
    std::string_view address;
    std::span<const std::string> others = {};
};

// A sender as the lists compare it: trimmed, folded and normalized once for
// every list it is matched against.
struct FoldedSender {
    explicit FoldedSender(SenderKey sender);
    std::string shown;
    std::vector<std::string> addresses;
};

// Whether `entry` (trimmed or not) catches `sender`, as in a list of one.
bool EntryMatches(std::string_view entry, SenderKey sender);

// An in-memory list: unsorted, in file order then in order of addition.
class SenderList {
public:
    const std::vector<std::string>& Entries() const { return entries_; }
    void Assign(std::vector<std::string> entries);
    void Clear();
    // Index of the first entry that is `text` (both trimmed, SameText), or
    // -1; an empty text is never found.
    int IndexOf(std::string_view text) const;
    // Whether an entry catches the sender.
    bool Matches(SenderKey sender) const { return Matches(FoldedSender(sender)); }
    bool Matches(const FoldedSender& sender) const;
    // Appends trimmed `text` unless it is empty or already an entry; false
    // when nothing was added.
    bool Add(std::string_view text);
    // Removes every entry that is `text`; false when there was none.
    bool Remove(std::string_view text);

private:
    // An entry made ready for matching once, not for every message.
    struct Prepared {
        std::string text;  // trimmed and folded
        bool addresses;
    };
    void Prepare();

    std::vector<std::string> entries_;
    std::vector<Prepared> prepared_;
};
