#pragma once
// The journal of deletions, beside the lists: one line per message that the
// purge or "Supprimer" deleted, appended only once the server confirmed the
// deletions (its "+OK" to QUIT), never rewritten. UTF-8, so any text editor
// reads it; fields separated by tabs:
//   deleted at (dd/mm/yyyy hh:nn:ss, local)  user  host:port
//   the row's date  sender  subject  size  action  copy  authentication
// The copy is the file's name in the Corbeille, or "non conservé" and why;
// the authentication is what the sender's provider said ("ok", "echec",
// "inconnue"), a field that lines written before it lack.
// The sender is "name <address>", or the address alone for a nameless one.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "account/account_settings.h"
#include "app/scan_record.h"
#include "platform/date_time.h"
#include "platform/id_exception.h"

enum class DeletionKind { Purge, Single };

struct Deletion {
    ScanRow row;
    DeletionKind kind = DeletionKind::Purge;
    std::string copy{};
};

// The journal could not be appended to; the deletions stand all the same.
class EJournalWriteError : public EIdException {
public:
    EJournalWriteError(const std::filesystem::path& path, int error);
    VANNOIR_ERROR_KIND(LocalFile)
};
VANNOIR_LIST_ERROR(EJournalWriteError, std::filesystem::path("x"), 28);

// One line of the journal, field by field, as it was written.
struct JournalEntry {
    std::string deletedAt, user, server, date, sender, subject, size, action, copy, authentication;
};

// The fields in the line's order, each with its heading in a table.
struct JournalField {
    std::string_view heading;
    std::string JournalEntry::*field;
};
inline constexpr std::array<JournalField, 10> kJournalFields = {{
    {"Supprimé le", &JournalEntry::deletedAt},
    {"Utilisateur", &JournalEntry::user},
    {"Serveur", &JournalEntry::server},
    {"Date, heure", &JournalEntry::date},
    {"Expéditeur", &JournalEntry::sender},
    {"Sujet", &JournalEntry::subject},
    {"Taille", &JournalEntry::size},
    {"Action", &JournalEntry::action},
    {"Copie", &JournalEntry::copy},
    {"Authentification", &JournalEntry::authentication},
}};

// One line, CR LF ended.
std::string FormatJournalLine(TDateTime when, const Account& account, const Deletion& deletion);

// Appends the lines of `deletions`, all stamped `when`. Throws EJournalWriteError.
void AppendToJournal(const std::filesystem::path& journal, TDateTime when, const Account& account,
                     const std::vector<Deletion>& deletions);

// The journal's lines, oldest first; a line short of fields has the rest
// empty, its extra tabs stay in the last field. Throws EListFileOpenError.
std::vector<JournalEntry> ReadJournal(const std::filesystem::path& journal);
