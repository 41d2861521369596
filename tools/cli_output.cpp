#include "tools/cli_output.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "message/header_list.h"
#include "message/internet_date.h"
#include "platform/control_characters.h"
#include "platform/text.h"
#include "tools/json_object.h"

namespace {

std::string RowJson(const ScanRow& row) {
    JsonObject o;
    o.Number("numero", StrToIntDef(row.cells[0], 0));
    if (std::string date = IsoDate(row.date); !date.empty())
        o.Text("date", date);
    else
        o.Null("date");
    // The grid shows the address in the sender's column for a nameless sender.
    const bool named = row.cells[2] != row.address;
    o.Text("expediteur", named ? row.cells[2] : std::string());
    o.Text("adresse", row.address);
    o.Text("sujet", row.cells[3]);
    if (auto size = TryStrToInt(row.cells[4]); size && *size >= 0)
        o.Number("taille", *size);
    else
        o.Null("taille");
    o.Text("statut", row.cells[5]);
    return o.Json();
}

}  // namespace

std::string IsoDate(std::string rest) {
    const TDateTime date = ParseInternetDate(rest);
    if (date == 0) return {};
    const DateParts p = DecodeDateTime(date);
    const long minutes = std::lround(ZoneOffsetFromText(rest) * 1440.0);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", p.year, p.month, p.day,
                  p.hour, p.minute, p.second, minutes < 0 ? '-' : '+', std::labs(minutes) / 60,
                  std::labs(minutes) % 60);
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
        for (std::size_t column = 0; column < row.cells.size(); ++column)
            out << (column ? "\t" : "") << WithoutControls(row.cells[column]);
        out << '\n';
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
