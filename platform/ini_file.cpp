#include "platform/ini_file.h"

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/file_replace.h"
#include "platform/text_lines.h"

namespace {

std::string JoinLines(const std::vector<TextLine>& lines) {
    std::string bytes;
    for (const TextLine& line : lines) bytes += line.text + line.end;
    return bytes;
}

std::string UpToNul(std::string_view s) { return std::string(s.substr(0, s.find('\0'))); }

// Name of a "[name]" line; nullopt for any other line.
std::optional<std::string> SectionName(std::string_view text) {
    std::string t = Trim(text);
    if (t.empty() || t.front() != '[') return std::nullopt;
    std::size_t close = t.find(']');
    return Trim(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

bool IsKeyLine(std::string_view text, std::string_view key) {
    std::size_t eq = text.find('=');
    return eq != std::string_view::npos && SameText(Trim(text.substr(0, eq)), key);
}

// Where a section and a key are: npos for what is missing. `end` is the
// first line after the section (its next section line, or the end).
struct Place {
    std::size_t section = std::string::npos;
    std::size_t key = std::string::npos;
    std::size_t end = std::string::npos;
};

Place Locate(const std::vector<TextLine>& lines, std::string_view section, std::string_view key) {
    Place place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::optional<std::string> name = SectionName(lines[i].text);
        if (place.section != std::string::npos) {
            if (name) {
                place.end = i;
                return place;
            }
            if (place.key == std::string::npos && IsKeyLine(lines[i].text, key)) place.key = i;
        } else if (name && SameText(*name, section)) {
            place.section = i;
        }
    }
    place.end = lines.size();
    return place;
}

// Index after which a new key goes: the section's last line that is not blank.
std::size_t LastFilledLine(const std::vector<TextLine>& lines, const Place& place) {
    std::size_t last = place.section;
    for (std::size_t i = place.section + 1; i < place.end; ++i)
        if (!Trim(lines[i].text).empty()) last = i;
    return last;
}

void InsertLine(std::vector<TextLine>& lines, std::size_t at, std::string text) {
    if (at > 0 && lines[at - 1].end.empty()) lines[at - 1].end = "\r\n";
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), TextLine{std::move(text), "\r\n"});
}

}  // namespace

FileChangeLock LockIniForChange(const std::filesystem::path& path) {
    FileChangeLock lock(path);
    if (lock.Error() != 0) throw EIniWriteError(path, lock.Error());
    return lock;
}

std::string ReadIniBytesForChange(const std::filesystem::path& path) {
    std::string bytes;
    int error = ReadWholeFile(path, bytes);
    if (error != 0 && error != ENOENT) throw EIniWriteError(path, error);
    return bytes;
}

void StoreIniBytes(const std::filesystem::path& path, std::string_view bytes) {
    if (int error = ReplaceFileAtomically(path, bytes, FileAccess::OwnerOnly))
        throw EIniWriteError(path, error);
}

EIniWriteError::EIniWriteError(const std::filesystem::path& path, int error)
    : EIdException(std::string("Impossible d'écrire dans ") + path.string()), error_(error) {}

std::optional<std::string> IniValue(std::string_view bytes, std::string_view section, std::string_view key) {
    std::vector<TextLine> lines = SplitTextLines(bytes);
    Place place = Locate(lines, section, key);
    if (place.key == std::string::npos) return std::nullopt;
    const std::string& text = lines[place.key].text;
    std::string value = Trim(UpToNul(std::string_view(text).substr(text.find('=') + 1)));
    if (value.size() > TIniFile::kMaxValueLength) value.resize(TIniFile::kMaxValueLength);
    return value;
}

std::string IniWithValue(std::string_view bytes, std::string_view section, std::string_view key,
                         std::string_view value) {
    std::string kept = UpToNul(value);
    kept = kept.substr(0, kept.find_first_of("\r\n"));
    std::vector<TextLine> lines = SplitTextLines(bytes);
    Place place = Locate(lines, section, key);
    std::string text = std::string(key) + "=" + kept;
    if (place.key != std::string::npos) {
        lines[place.key].text = std::move(text);
    } else if (place.section != std::string::npos) {
        InsertLine(lines, LastFilledLine(lines, place) + 1, std::move(text));
    } else {
        InsertLine(lines, lines.size(), "[" + std::string(section) + "]");
        InsertLine(lines, lines.size(), std::move(text));
    }
    return JoinLines(lines);
}

std::optional<std::string> IniWithoutKey(std::string_view bytes, std::string_view section,
                                         std::string_view key) {
    std::vector<TextLine> lines = SplitTextLines(bytes);
    Place place = Locate(lines, section, key);
    if (place.key == std::string::npos) return std::nullopt;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(place.key));
    return JoinLines(lines);
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
    std::string bytes;
    if (ReadWholeFile(path_, bytes) != 0) return std::string(fallback);
    return IniValue(bytes, section, key).value_or(std::string(fallback));
}

int IniInteger(std::string_view value, int fallback) {
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        long long n = 0;
        for (std::size_t i = 2; i < value.size(); ++i) {
            int digit = HexDigitValue(value[i]);
            if (digit < 0 || n > 0xFFFFFFFLL) return fallback;
            n = n * 16 + digit;
        }
        return static_cast<int>(static_cast<unsigned int>(n));
    }
    return StrToIntDef(value, fallback);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
    return IniInteger(ReadString(section, key), fallback);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const FileChangeLock lock = LockIniForChange(path_);
    StoreIniBytes(path_, IniWithValue(ReadIniBytesForChange(path_), section, key, value));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, IntToStr(value));
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    const FileChangeLock lock = LockIniForChange(path_);
    if (auto changed = IniWithoutKey(ReadIniBytesForChange(path_), section, key))
        StoreIniBytes(path_, *changed);
}
