#include "app/scan_record_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

#include "platform/file_replace.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "platform/text_lines.h"

namespace {

constexpr std::string_view kMailbox = "Boite";
constexpr std::string_view kVersion = "Version";
// Records without this mark are of earlier versions, which kept display
// texts: they count as none.
constexpr std::string_view kVersionMark = "2";
constexpr std::string_view kRow = "Message";
constexpr std::string_view kDate = "Date";
constexpr std::string_view kFault = "Illisible";
constexpr std::string_view kDigest = "Empreinte";
constexpr std::string_view kUniqueId = "Id";
constexpr std::string_view kVerdict = "Verdict";
// What the receiving service said, by SenderAuthentication.
constexpr std::string_view kAuthenticationNames[] = {"inconnue", "ok", "echec"};
constexpr std::string_view kAddress = "Adresse";
// The spam engine's score, its judgement by SpamJudgement, its reasons.
constexpr std::string_view kSpam = "Pourriel";
constexpr std::string_view kJudgementNames[] = {"bon", "incertain", "pourriel"};

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
    out.reserve(field.size());
    for (;;) {
        const std::size_t escape = field.find('%');
        out.append(field.substr(0, escape));
        if (escape == std::string_view::npos) return out;
        if (escape + 2 >= field.size()) return std::nullopt;
        const std::optional<char> byte = HexPairValue(field[escape + 1], field[escape + 2]);
        if (!byte) return std::nullopt;
        out += *byte;
        field.remove_prefix(escape + 3);
    }
}

std::optional<std::vector<std::string>> Fields(std::string_view line) {
    std::vector<std::string> fields;
    fields.reserve(7);
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

std::string Line(std::string_view kind, std::initializer_list<std::string_view> fields) {
    std::string line(kind);
    for (std::string_view field : fields) line += "\t" + Escape(field);
    return line + "\r\n";
}

constexpr std::string_view kStatusNames[] = {"", "ami", "intrus", "ami douteux"};

// The shortest text that reads back as the same score.
std::string ScoreText(double score) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, score).ptr;
    return std::string(text, end);
}

bool ReadSpam(ScanRow& row, const std::vector<std::string>& fields) {
    double score = 0;
    const std::string& number = fields[1];
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), score);
    const auto judgement = std::find(std::begin(kJudgementNames), std::end(kJudgementNames), fields[2]);
    if (row.spam.score || error != std::errc() || end != number.data() + number.size() ||
        judgement == std::end(kJudgementNames))
        return false;
    row.spam.score = score;
    row.spam.judgement = static_cast<SpamJudgement>(judgement - std::begin(kJudgementNames));
    row.spam.reasons.assign(fields.begin() + 3, fields.end());
    return true;
}

// A moment in whole seconds, as dates are written to the second.
std::string Seconds(TDateTime when) { return IntToStr(std::llround(when * 86400.0)); }

std::string FormatRow(const ScanRow& row) {
    std::string out = Line(
        kRow, {IntToStr(row.number), row.name, row.address, row.subject,
               row.size ? IntToStr(*row.size) : std::string(), kStatusNames[static_cast<int>(row.status)]});
    if (row.date)
        out += Line(
            kDate, {Seconds(row.date->written), IntToStr(row.date->offsetMinutes), Seconds(row.date->local)});
    for (const std::string& sender : row.senders) out += Line(kAddress, {sender});
    if (!row.fault.empty() || !row.unreadSender.empty()) out += Line(kFault, {row.unreadSender, row.fault});
    out += Line(kDigest, {row.headerDigest});
    if (!row.uniqueId.empty()) out += Line(kUniqueId, {row.uniqueId});
    if (row.authentication != SenderAuthentication::Unknown || !row.verdict.empty())
        out += Line(kVerdict, {kAuthenticationNames[static_cast<int>(row.authentication)], row.verdict});
    if (row.spam.score) {
        std::string line =
            Line(kSpam, {ScoreText(*row.spam.score), kJudgementNames[static_cast<int>(row.spam.judgement)]});
        line.resize(line.size() - 2);
        for (const std::string& reason : row.spam.reasons) line += "\t" + Escape(reason);
        out += line + "\r\n";
    }
    return out;
}

std::string FormatSection(int slot, const MailboxIdentity& mailbox, const ScanRecord& record) {
    return SectionLine(slot) + "\r\n" + FormatScanRows(mailbox, record);
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

std::optional<TDateTime> Moment(const std::string& seconds) {
    const std::optional<std::int64_t> value = TryStrToInt64(seconds);
    if (!value) return std::nullopt;
    return static_cast<double>(*value) / 86400.0;
}

bool ReadRow(ScanRecord& record, const std::vector<std::string>& fields) {
    ScanRow row;
    const std::optional<std::int32_t> number = TryStrToInt(fields[1]);
    if (!number) return false;
    row.number = *number;
    row.name = fields[2];
    row.address = fields[3];
    row.subject = fields[4];
    if (!fields[5].empty()) {
        row.size = TryStrToInt64(fields[5]);
        if (!row.size) return false;
    }
    const auto status = std::find(std::begin(kStatusNames), std::end(kStatusNames), fields[6]);
    if (status == std::end(kStatusNames)) return false;
    row.status = static_cast<SenderStatus>(status - std::begin(kStatusNames));
    record.push_back(std::move(row));
    return true;
}

bool ReadDate(ScanRow& row, const std::vector<std::string>& fields) {
    const std::optional<TDateTime> written = Moment(fields[1]), local = Moment(fields[3]);
    const std::optional<std::int32_t> offset = TryStrToInt(fields[2]);
    if (row.date || !written || !local || !offset || *offset < -1440 || *offset > 1440) return false;
    row.date = MessageDate{*written, *offset, *local};
    return true;
}

bool AddLine(ParsedRows& rows, const std::vector<std::string>& fields) {
    ScanRecord& record = rows.record;
    if (fields[0] == kRow && fields.size() == 7) {
        rows.digested.push_back(false);
        return ReadRow(record, fields);
    }
    if (record.empty()) return false;
    ScanRow& row = record.back();
    if (fields[0] == kDate && fields.size() == 4) return ReadDate(row, fields);
    if (fields[0] == kFault && fields.size() == 3 && row.fault.empty()) {
        row.unreadSender = fields[1];
        row.fault = fields[2];
        return !row.fault.empty();
    }
    if (fields[0] == kVerdict && fields.size() == 3 && row.verdict.empty() &&
        row.authentication == SenderAuthentication::Unknown) {
        const auto state =
            std::find(std::begin(kAuthenticationNames), std::end(kAuthenticationNames), fields[1]);
        if (state == std::end(kAuthenticationNames)) return false;
        row.authentication = static_cast<SenderAuthentication>(state - std::begin(kAuthenticationNames));
        row.verdict = fields[2];
        return true;
    }
    if (fields[0] == kSpam && fields.size() >= 3) return ReadSpam(row, fields);
    if (fields.size() != 2) return false;
    if (fields[0] == kAddress) {
        row.senders.push_back(fields[1]);
        return true;
    }
    // One digest a row, one unique id at most.
    if (fields[0] == kDigest && !rows.digested.back()) {
        row.headerDigest = fields[1];
        rows.digested.back() = true;
        return true;
    }
    if (fields[0] == kUniqueId && row.uniqueId.empty() && !fields[1].empty()) {
        row.uniqueId = fields[1];
        return true;
    }
    return false;
}

// The rows of a section's lines (after its section line): the mailbox line,
// the version, then the rows; nullopt as ParseScanRecord says.
std::optional<ScanRecord> ParseSectionRows(const std::vector<std::string_view>& section,
                                           const MailboxIdentity& mailbox);

}  // namespace

std::string FormatScanRows(const MailboxIdentity& mailbox, const ScanRecord& record) {
    std::string out = Line(kMailbox, {mailbox.host, IntToStr(mailbox.port), mailbox.user});
    out += Line(kVersion, {kVersionMark});
    for (const ScanRow& row : record) out += FormatRow(row);
    return out;
}

std::optional<ScanRecord> ParseScanRows(std::string_view bytes, const MailboxIdentity& mailbox) {
    // Split in place: a cache holds thousands of rows.
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find("\r\n");
        if (end == std::string_view::npos) return std::nullopt;
        lines.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end + 2);
    }
    return ParseSectionRows(lines, mailbox);
}

std::optional<ScanRecord> ParseScanRecord(std::string_view bytes, int slot, const MailboxIdentity& mailbox) {
    std::optional<std::vector<std::string>> section = SectionOf(SplitTextLines(bytes), slot);
    if (!section) return std::nullopt;
    return ParseSectionRows(std::vector<std::string_view>(section->begin(), section->end()), mailbox);
}

namespace {

std::optional<ScanRecord> ParseSectionRows(const std::vector<std::string_view>& section,
                                           const MailboxIdentity& mailbox) {
    if (section.empty()) return std::nullopt;
    auto head = Fields(section.front());
    if (!head || head->size() != 4 || (*head)[0] != kMailbox ||
        MailboxIdentity{(*head)[1], StrToIntDef((*head)[2], -1), (*head)[3]} != mailbox)
        return std::nullopt;
    if (section.size() < 2 ||
        Fields(section[1]) != std::vector<std::string>{std::string(kVersion), std::string(kVersionMark)})
        return std::nullopt;
    ParsedRows rows;
    for (std::size_t i = 2; i < section.size(); ++i) {
        auto fields = Fields(section[i]);
        if (!fields || !AddLine(rows, *fields)) return std::nullopt;
    }
    if (std::find(rows.digested.begin(), rows.digested.end(), false) != rows.digested.end())
        return std::nullopt;
    return std::move(rows.record);
}

}  // namespace

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
