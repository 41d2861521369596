#include "tools/cli_output.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/scan_cells.h"
#include "platform/control_characters.h"
#include "platform/text.h"
#include "tools/json_object.h"

namespace {

std::string_view SpamWord(SpamJudgement judgement) {
    switch (judgement) {
        case SpamJudgement::Spam:
            return "pourriel";
        case SpamJudgement::Wanted:
            return "bon";
        default:
            return "incertain";
    }
}

std::string RowJson(const ScanRow& row) {
    JsonObject o;
    o.Number("numero", row.number);
    if (std::string date = IsoDate(row.date); !date.empty())
        o.Text("date", date);
    else
        o.Null("date");
    o.Text("expediteur", row.unreadSender.empty() ? row.name : row.unreadSender);
    o.Text("adresse", row.address);
    o.Texts("adresses", row.senders);
    o.Text("sujet", row.subject);
    if (row.size)
        o.Number("taille", *row.size);
    else
        o.Null("taille");
    o.Text("statut", RowMark(row));
    o.Text("authentification", AuthenticationWord(row.authentication));
    o.Texts("raisons", SuspectReasons(row));
    if (row.spam.score) {
        o.Real("score", *row.spam.score);
        o.Text("verdict", SpamWord(row.spam.judgement));
    } else {
        o.Null("score");
        o.Null("verdict");
    }
    if (!row.fault.empty()) o.Text("erreur", row.fault);
    return o.Json();
}

}  // namespace

std::string IsoDate(const std::optional<MessageDate>& date) {
    if (!date) return {};
    const DateParts p = DecodeDateTime(date->written);
    const int minutes = date->offsetMinutes;
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second, minutes < 0 ? '-' : '+', std::abs(minutes) / 60,
                  std::abs(minutes) % 60);
    return text;
}

void PrintRows(const ScanRecord& record, CliFormat format, std::ostream& out) {
    if (format == CliFormat::Json) {
        out << "[";
        for (std::size_t i = 0; i < record.size(); ++i) out << (i ? ",\n" : "\n") << RowJson(record[i]);
        out << (record.empty() ? "]\n" : "\n]\n");
        return;
    }
    for (const ScanRow& row : record) {
        const GridRow cells = GridCells(row);
        for (std::size_t column = 0; column < cells.size(); ++column)
            out << (column ? "\t" : "") << (WithoutControls(cells[column]));
        out << '\t' << AuthenticationWord(row.authentication) << '\t' << ScoreCell(row) << '\n';
    }
}

void PrintPreview(int message, const std::vector<std::string>& lines,
                  const std::vector<std::string>& attachments, CliFormat format, std::ostream& out) {
    if (format == CliFormat::Json) {
        out << JsonObject()
                   .Number("numero", message)
                   .Texts("lignes", lines)
                   .Texts("pieces_jointes", attachments)
                   .Json()
            << '\n';
        return;
    }
    for (const std::string& line : lines) out << VisibleControls(line) << '\n';
}
