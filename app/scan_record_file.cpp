#include "app/scan_record_file.h"

#include <algorithm>
#include <vector>

#include "platform/file_replace.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "platform/text_lines.h"

namespace {

constexpr std::string_view kMailbox = "Boite";
constexpr std::string_view kRow = "Ligne";
constexpr std::string_view kDigest = "Empreinte";
constexpr std::string_view kUniqueId = "Id";
constexpr std::string_view kAddress = "Adresse";

std::string Escape(std::string_view field) {
    std::string out;
    for (char c : field) {
        if (c == '%' || c == '\t' || c == '\r' || c == '\n' || c == '\0') {
            out += '%';
            AppendHexByte(out, static_cast<unsigned char>(c));
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return std::nullopt;
        const std::optional<char> byte = HexPairValue(field[i + 1], field[i + 2]);
        if (!byte) return std::nullopt;
        out += *byte;
        i += 2;
    }
    return out;
}

std::optional<std::vector<std::string>> Fields(std::string_view line) {
    std::vector<std::string> fields;
    for (;;) {
        std::size_t tab = line.find('\t');
        std::optional<std::string> field = Unescape(line.substr(0, tab));
        if (!field) return std::nullopt;
        fields.push_back(std::move(*field));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

std::string SectionLine(int slot) { return "[Compte " + IntToStr(slot) + "]"; }

bool StartsSection(const std::string& line) { return !line.empty() && line.front() == '['; }

std::string FormatSection(int slot, const MailboxIdentity& mailbox, const ScanRecord& record) {
    std::string out = SectionLine(slot) + "\r\n";
    out += std::string(kMailbox) + "\t" + Escape(mailbox.host) + "\t" + IntToStr(mailbox.port) + "\t" +
           Escape(mailbox.user) + "\r\n";
    for (const ScanRow& row : record) {
        out += kRow;
        for (const std::string& cell : row.cells) out += "\t" + Escape(cell);
        out += "\r\n";
        if (!row.address.empty()) out += std::string(kAddress) + "\t" + Escape(row.address) + "\r\n";
        out += std::string(kDigest) + "\t" + Escape(row.headerDigest) + "\r\n";
        if (!row.uniqueId.empty()) out += std::string(kUniqueId) + "\t" + Escape(row.uniqueId) + "\r\n";
    }
    return out;
}

// The section's lines (without the section line), or nullopt without it.
std::optional<std::vector<std::string>> SectionOf(const std::vector<TextLine>& lines, int slot) {
    const std::string wanted = SectionLine(slot);
    std::optional<std::vector<std::string>> section;
    for (const TextLine& line : lines) {
        if (section && StartsSection(line.text)) break;
        if (section)
            section->push_back(line.text);
        else if (line.text == wanted)
            section.emplace();
    }
    return section;
}

// The rows read so far, and whether each has had its digest line.
struct ParsedRows {
    ScanRecord record;
    std::vector<bool> digested;
};

bool AddLine(ParsedRows& rows, const std::vector<std::string>& fields) {
    ScanRecord& record = rows.record;
    if (fields[0] == kRow && fields.size() == 7) {
        ScanRow row;
        std::copy(fields.begin() + 1, fields.end(), row.cells.begin());
        record.push_back(std::move(row));
        rows.digested.push_back(false);
        return true;
    }
    if (fields.size() != 2 || record.empty()) return false;
    if (fields[0] == kAddress) {
        record.back().address = fields[1];
        return true;
    }
    // One digest a row, one unique id at most.
    if (fields[0] == kDigest && !rows.digested.back()) {
        record.back().headerDigest = fields[1];
        rows.digested.back() = true;
        return true;
    }
    if (fields[0] == kUniqueId && record.back().uniqueId.empty() && !fields[1].empty()) {
        record.back().uniqueId = fields[1];
        return true;
    }
    return false;
}

}  // namespace

std::optional<ScanRecord> ParseScanRecord(std::string_view bytes, int slot, const MailboxIdentity& mailbox) {
    std::optional<std::vector<std::string>> section = SectionOf(SplitTextLines(bytes), slot);
    if (!section || section->empty()) return std::nullopt;
    auto head = Fields(section->front());
    if (!head || head->size() != 4 || (*head)[0] != kMailbox ||
        MailboxIdentity{(*head)[1], StrToIntDef((*head)[2], -1), (*head)[3]} != mailbox)
        return std::nullopt;
    ParsedRows rows;
    for (std::size_t i = 1; i < section->size(); ++i) {
        auto fields = Fields((*section)[i]);
        if (!fields || !AddLine(rows, *fields)) return std::nullopt;
    }
    if (std::find(rows.digested.begin(), rows.digested.end(), false) != rows.digested.end())
        return std::nullopt;
    return std::move(rows.record);
}

std::string WithScanRecord(std::string_view bytes, int slot, const MailboxIdentity& mailbox,
                           const ScanRecord& record) {
    const std::string replaced = SectionLine(slot);
    std::string out;
    bool inReplaced = false;
    for (const TextLine& line : SplitTextLines(bytes)) {
        if (StartsSection(line.text)) inReplaced = line.text == replaced;
        if (!inReplaced) out += line.text + "\r\n";
    }
    return out + FormatSection(slot, mailbox, record);
}

std::optional<ScanRecord> ReadScanRecord(const std::filesystem::path& file, int slot,
                                         const MailboxIdentity& mailbox) {
    std::string bytes;
    if (ReadWholeFile(file, bytes) != 0) return std::nullopt;
    return ParseScanRecord(bytes, slot, mailbox);
}

void WriteScanRecord(const std::filesystem::path& file, int slot, const MailboxIdentity& mailbox,
                     const ScanRecord& record) {
    // Runs of other accounts change their own sections at the same time.
    const FileChangeLock lock = LockIniForChange(file);
    StoreIniBytes(file, WithScanRecord(ReadIniBytesForChange(file), slot, mailbox, record));
}
