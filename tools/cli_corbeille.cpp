#include "tools/cli_corbeille.h"

#include <ctime>

#include "app/corbeille.h"
#include "app/mailbox_actions.h"
#include "app/scan_cells.h"
#include "app/texts.h"
#include "platform/control_characters.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "tools/cli_exit.h"
#include "tools/console_text.h"
#include "tools/json_object.h"

namespace {

std::string Field(std::string_view text) { return std::string(WithoutControls(text)); }

// "2026-12-07T21:05:30+01:00", local time.
std::string IsoStamp(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string stamp = text;
    if (stamp.size() >= 5) stamp.insert(stamp.size() - 2, ":");
    return stamp;
}

void PrintEntries(const std::vector<CorbeilleEntry>& entries, CliFormat format, std::ostream& out) {
    if (format == CliFormat::Json) out << "[";
    int number = 0;
    for (const CorbeilleEntry& e : entries) {
        ++number;
        const std::string size = IntToStr(static_cast<std::int64_t>(e.size));
        if (format == CliFormat::Tsv) {
            out << number << '\t' << DeletedText(e) << '\t' << Field(e.account) << '\t' << Field(e.sender)
                << '\t' << Field(e.subject) << '\t' << size << '\n';
            continue;
        }
        JsonObject object;
        object.Number("numero", number);
        // null: the message is still on the server.
        if (e.deleted)
            object.Text("supprime_le", IsoStamp(e.deletedAt));
        else
            object.Null("supprime_le");
        out << (number > 1 ? ",\n" : "\n")
            << object.Text("compte", std::string(e.account))
                   .Text("expediteur", std::string(e.sender))
                   .Text("adresse", std::string(e.address))
                   .Text("sujet", std::string(e.subject))
                   .Number("taille", static_cast<std::int64_t>(e.size))
                   .Text("authentification", std::string(AuthenticationWord(e.authentication)))
                   .Json();
    }
    if (format == CliFormat::Json) out << (entries.empty() ? "]\n" : "\n]\n");
}

}  // namespace

int RunCorbeilleCommand(const CliOptions& options, const AppPaths& paths, std::ostream& out,
                        std::ostream& err) {
    Corbeille corbeille(paths.corbeille, ReadCorbeilleLimits(TIniFile(paths.settings)));
    try {
        switch (options.corbeilleVerb) {
            case CliCorbeilleVerb::List:
                PrintEntries(corbeille.List(), options.format, out);
                break;
            case CliCorbeilleVerb::Extract:
                corbeille.Extract(options.message, std::filesystem::absolute(options.extractTarget));
                break;
            case CliCorbeilleVerb::Empty: {
                // A purge may be writing its copies: they go only once it is over.
                const std::unique_ptr<LockFile> lock =
                    TakeMailboxLock(MailboxLockFileFor(paths.settings), options.lockWaitMs);
                if (lock->Busy()) {
                    err << "vannoir-cli : " << ConsoleText(std::string(texts::kMailboxLocked)) << '\n';
                    return cli_exit::kNetwork;
                }
                corbeille.Empty();
                break;
            }
        }
    } catch (const ECorbeilleError& e) {
        err << "vannoir-cli : " << ConsoleText(e.Message()) << '\n';
        return cli_exit::kLocalFile;
    }
    return cli_exit::kDone;
}
