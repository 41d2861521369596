#include "account/wine_hive.h"

#include <optional>

#include "platform/text.h"
#include "platform/text_lines.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A quoted string at the start of `text` (its opening quote included), its
// escapes resolved to UTF-8; `text` keeps what follows the closing quote.
// nullopt when it is not closed.
std::optional<std::string> QuotedString(std::string_view& text) {
    if (text.empty() || text.front() != '"') return std::nullopt;
    std::string utf8;
    std::size_t i = 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            utf8 += text[i];
            continue;
        }
        char e = text[++i];
        if (e == 'n')
            utf8 += '\n';
        else if (e == 'r')
            utf8 += '\r';
        else if (e == 't')
            utf8 += '\t';
        else if (e == '0')
            utf8 += '\0';
        else if (e == 'x') {
            char32_t unit = 0;
            int digits = 0;
            while (digits < 4 && i + 1 < text.size() && HexValue(text[i + 1]) >= 0)
                unit = unit * 16 + static_cast<char32_t>(HexValue(text[++i])), ++digits;
            AppendUtf8(utf8, unit);
        } else
            utf8 += e;
    }
    if (i >= text.size()) return std::nullopt;
    text.remove_prefix(i + 1);
    return utf8;
}

// "[Software\\Key] 1234" → "Software\Key"; nullopt for a malformed section line.
std::optional<std::string> SectionPath(std::string_view line) {
    std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    std::string path;
    for (std::size_t i = 1; i < close; ++i) {
        if (line[i] == '\\' && i + 1 < close && line[i + 1] == '\\') ++i;
        path += line[i];
    }
    return path;
}

void ReadValue(std::string_view line, const std::string& key, MemoryRegistry& registry) {
    std::string name;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else {
        std::optional<std::string> quoted = QuotedString(line);
        if (!quoted) return;
        name = *quoted;
    }
    if (line.empty() || line.front() != '=') return;
    line.remove_prefix(1);
    if (line.starts_with("str(")) line.remove_prefix(std::min(line.find(':') + 1, line.size()));
    if (!line.empty() && line.front() == '"') {
        if (std::optional<std::string> value = QuotedString(line))
            registry.SetValue(key, name, {RegistryValue::Type::String, *value});
        return;
    }
    const bool dword = line.starts_with("dword:");
    registry.SetValue(key, name,
                      {dword ? RegistryValue::Type::DWord : RegistryValue::Type::Binary, std::string(line)});
}

}  // namespace

void ReadWineHive(std::string_view text, MemoryRegistry& registry) {
    std::optional<std::string> key;
    std::string pending;  // a hex list continued with "\" on the next lines
    for (const TextLine& raw : SplitTextLines(text)) {
        std::string_view line = raw.text;
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        const bool valueLine = line.starts_with("\"") || line.starts_with("@=");
        if (!pending.empty() || (key && valueLine && line.ends_with("\\"))) {
            pending += line;
            if (line.ends_with("\\")) {
                pending.pop_back();
                continue;
            }
            ReadValue(pending, *key, registry);
            pending.clear();
            continue;
        }
        if (line.starts_with("[")) {
            key = SectionPath(line);
            if (key) registry.AddKey(*key);
        } else if (key && valueLine) {
            ReadValue(line, *key, registry);
        }
    }
}
