#include "platform/charset.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>

#include "platform/text.h"

namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

enum class CharsetKind { Ansi, Utf8, Unlabelled, Iconv };

}  // namespace

struct Charset::Entry {
    CharsetKind kind = CharsetKind::Iconv;
    iconv_t cd = kNoDescriptor;
    // UTF-16 and UTF-32 without a byte order mark are big-endian whatever the
    // machine: `cd` then reads big-endian, this one the little-endian text
    // that `littleEndianMark` announces.
    iconv_t littleEndianCd = kNoDescriptor;
    std::string_view littleEndianMark, bigEndianMark;
    bool byteLines = true;
};

namespace {

// Names that mail programs write for Windows-1252: ISO-8859-1 and US-ASCII
// text from them holds Windows-1252 bytes ("\x80" for the euro sign) often
// enough that reading it as Windows-1252 is the right reading.
// clang-format off
constexpr std::string_view kAnsiNames[] = {
    "WINDOWS-1252", "CP1252", "X-CP1252", "ISO-8859-1", "ISO8859-1", "ISO88591",  "ISO_8859-1",
    "ISO_8859-1:1987", "LATIN1", "L1", "ISO-IR-100", "CP819", "IBM819", "CSISOLATIN1",
    "US-ASCII", "ASCII", "ANSI_X3.4-1968", "ISO646-US", "US", "CSASCII"};
// clang-format on
constexpr std::string_view kUtf8Names[] = {"UTF-8", "UTF8", "UNICODE-1-1-UTF-8", "X-UNICODE20UTF8"};

// Labels mail programs use that iconv does not know, or knows as a narrower
// set than the one those programs write under that label.
// clang-format off
constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
    {"KS_C_5601-1987", "CP949"}, {"KS_C_5601-1989", "CP949"}, {"KSC5601", "CP949"}, {"EUC-KR", "CP949"},
    {"X-SJIS", "CP932"}, {"SHIFT_JIS", "CP932"}, {"SHIFT-JIS", "CP932"}, {"SJIS", "CP932"},
    {"MS_KANJI", "CP932"}, {"X-EUC-JP", "EUC-JP"},
    {"GB2312", "GBK"}, {"X-GBK", "GBK"}, {"CSGB2312", "GBK"}, {"EUC-CN", "GBK"},
    {"ISO-8859-8-I", "ISO-8859-8"}, {"ISO-8859-8-E", "ISO-8859-8"},
    {"ISO-8859-6-I", "ISO-8859-6"}, {"ISO-8859-6-E", "ISO-8859-6"},
    {"UNICODE-1-1-UTF-7", "UTF-7"}, {"X-MAC-ROMAN", "MACINTOSH"},
    {"UCS-2", "UTF-16"}, {"UCS-4", "UTF-32"}};
// clang-format on

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':' ||
           c == '+' || c == '(' || c == ')';
}

// The upper-case name to look up, or empty when `name` cannot be a charset
// name. A "/" would reach iconv's own options, an empty name the locale's set.
std::string Normalised(std::string_view name) {
    std::string n = Trim(name);
    if (n.size() >= 2 && n.front() == '"' && n.back() == '"')
        n = Trim(std::string_view(n).substr(1, n.size() - 2));
    n = UpperCase(n.substr(0, n.find('*')));
    if (n.empty() || n.size() > 64) return {};
    for (char c : n)
        if (!IsNameChar(c)) return {};
    for (const auto& [label, target] : kAliases)
        if (n == label) return std::string(target);
    return n;
}

// Appends the characters of UTF-32LE bytes.
void AppendUtf32(std::string& out, const char* bytes, std::size_t size) {
    for (std::size_t i = 0; i + 4 <= size; i += 4) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes + i);
        AppendUtf8(out, static_cast<char32_t>(b[0] | b[1] << 8 | b[2] << 16 |
                                              static_cast<std::uint32_t>(b[3]) << 24));
    }
}

std::string IconvToUtf8(iconv_t cd, std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    bool inBadRun = false;
    char buffer[1024];
    while (inLeft > 0) {
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &o, &outLeft);
        const int error = errno;
        if (o != buffer) {
            AppendUtf32(out, buffer, static_cast<std::size_t>(o - buffer));
            inBadRun = false;
        }
        if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
        if (!inBadRun) out += "\xEF\xBF\xBD";
        inBadRun = true;
        if (error != EILSEQ) break;  // a character cut at the end
        ++in;
        --inLeft;
    }
    // Charsets that compose a letter with the marks after it hold the last one back.
    char* o = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &o, &outLeft);
    AppendUtf32(out, buffer, static_cast<std::size_t>(o - buffer));
    return out;
}

Charset::Entry EntryOfKind(CharsetKind kind) {
    Charset::Entry entry;
    entry.kind = kind;
    return entry;
}

Charset::Entry OpenEntry(const std::string& name) {
    Charset::Entry entry;
    for (std::string_view ansi : kAnsiNames)
        if (name == ansi) entry.kind = CharsetKind::Ansi;
    for (std::string_view utf8 : kUtf8Names)
        if (name == utf8) entry.kind = CharsetKind::Utf8;
    if (entry.kind != CharsetKind::Iconv) return entry;
    if (name == "UTF-16" || name == "UTF-32") {
        entry.cd = iconv_open("UTF-32LE", (name + "BE").c_str());
        entry.littleEndianCd = iconv_open("UTF-32LE", (name + "LE").c_str());
        const bool wide = name == "UTF-32";
        entry.littleEndianMark = wide ? std::string_view("\xFF\xFE\0\0", 4) : std::string_view("\xFF\xFE");
        entry.bigEndianMark = wide ? std::string_view("\0\0\xFE\xFF", 4) : std::string_view("\xFE\xFF");
        entry.byteLines = false;
        return entry;
    }
    entry.cd = iconv_open("UTF-32LE", name.c_str());
    if (entry.cd != kNoDescriptor) entry.byteLines = IconvToUtf8(entry.cd, "\n") == "\n";
    return entry;
}

// The descriptors of one thread, closed when the thread ends. Unknown names
// are remembered too, up to a bound, so that a mailbox full of made-up
// names cannot grow the table without end.
class EntryCache {
public:
    EntryCache() = default;
    EntryCache(const EntryCache&) = delete;
    EntryCache& operator=(const EntryCache&) = delete;
    ~EntryCache() {
        for (auto& [name, entry] : entries_) {
            if (!entry) continue;
            if (entry->cd != kNoDescriptor) iconv_close(entry->cd);
            if (entry->littleEndianCd != kNoDescriptor) iconv_close(entry->littleEndianCd);
        }
    }

    const Charset::Entry* Find(const std::string& name) {
        if (auto it = entries_.find(name); it != entries_.end()) return it->second.get();
        auto entry = std::make_unique<Charset::Entry>(OpenEntry(name));
        if (entry->kind == CharsetKind::Iconv && entry->cd == kNoDescriptor) {
            if (++unknown_ <= kMaxUnknown) entries_.emplace(name, nullptr);
            return nullptr;
        }
        return entries_.emplace(name, std::move(entry)).first->second.get();
    }

private:
    static constexpr int kMaxUnknown = 64;
    std::unordered_map<std::string, std::unique_ptr<Charset::Entry>> entries_;
    int unknown_ = 0;
};

}  // namespace

std::optional<Charset> Charset::Find(std::string_view name) {
    static thread_local EntryCache cache;
    const std::string key = Normalised(name);
    if (key.empty()) return std::nullopt;
    const Entry* entry = cache.Find(key);
    if (!entry) return std::nullopt;
    return Charset(entry);
}

Charset Charset::ForText(std::string_view declaredName) {
    static const Entry kAnsi = EntryOfKind(CharsetKind::Ansi);
    static const Entry kUnlabelled = EntryOfKind(CharsetKind::Unlabelled);
    if (Trim(declaredName).empty()) return Charset(&kUnlabelled);
    if (std::optional<Charset> found = Find(declaredName)) return *found;
    return Charset(&kAnsi);
}

std::string Charset::ToUtf8(std::string_view bytes) const {
    switch (entry_->kind) {
        case CharsetKind::Ansi:
            return AnsiToUtf8(bytes);
        case CharsetKind::Utf8:
            return ValidUtf8(bytes);
        case CharsetKind::Unlabelled:
            return UnlabelledToUtf8(bytes);
        case CharsetKind::Iconv:
            break;
    }
    if (entry_->littleEndianCd != kNoDescriptor && bytes.starts_with(entry_->littleEndianMark))
        return IconvToUtf8(entry_->littleEndianCd, bytes.substr(entry_->littleEndianMark.size()));
    if (!entry_->bigEndianMark.empty() && bytes.starts_with(entry_->bigEndianMark))
        bytes.remove_prefix(entry_->bigEndianMark.size());
    return IconvToUtf8(entry_->cd, bytes);
}

bool Charset::IsAnsi() const { return entry_->kind == CharsetKind::Ansi; }

bool Charset::HasByteLines() const { return entry_->byteLines; }
