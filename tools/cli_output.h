#pragma once
// What en-tetes, supprimer and apercu write on the standard output, for a
// script to read: tab-separated rows (one line per message, no control
// character inside a field) or JSON.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/scan_record.h"
#include "tools/cli_options.h"

// The rows of a scan. TSV: number, date as the grid shows it, sender as the
// grid shows it, subject, size, status, and what the account's provider
// says of the sender ("ok", "echec", "inconnue"). JSON: an array, one object per
// line, with "numero", "date" (ISO 8601 with the offset the message gave,
// null without a readable Date header), "expediteur" (the sender's name,
// "" without one), "adresse", "sujet", "taille" (null when unknown) and
// "statut" ("A", "I", "A?" or ""), "authentification" (as the TSV's last
// column), "raisons" (why the sender is suspect, possibly none), and "erreur"
// (why the header could not be read all through) for such a row only.
void PrintRows(const ScanRecord& record, CliFormat format, std::ostream& out);

// The preview pane's lines. TSV: one per line, controls made
// visible ("^["). JSON: {"numero", "lignes", "pieces_jointes"}.
void PrintPreview(int message, const std::vector<std::string>& lines,
                  const std::vector<std::string>& attachments, CliFormat format, std::ostream& out);

// A row's date as "2001-09-07T10:05:30+02:00", in the offset it was written
// with ("+00:00" for a zone name); empty without one.
std::string IsoDate(const std::optional<MessageDate>& date);
