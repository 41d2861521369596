#include "tools/cli_run.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sstream>

#include "account/account_settings.h"
#include "account/settings_exposure.h"
#include "account/user_accounts.h"
#include "app/corbeille.h"
#include "app/main_window.h"
#include "app/scan_cells.h"
#include "app/scan_record_file.h"
#include "platform/system_error_text.h"
#include "platform/text.h"
#include "tools/cli_account_command.h"
#include "tools/cli_corbeille.h"
#include "tools/cli_exit.h"
#include "tools/cli_learn.h"
#include "tools/cli_lists.h"
#include "tools/cli_output.h"
#include "tools/console_text.h"
#include "tools/console_window.h"
#include "tools/json_object.h"

namespace {

// Everything one run works on.
struct CliSession {
    CliSession(const CliOptions& options, const AppPaths& paths, std::ostream& err)
        : window(err, options.purge),
          screener(paths, window.View()),
          recordFile(RecordFileFor(screener.Paths().settings)),
          err(err) {
        screener.SetActionLockWait(options.lockWaitMs);
        screener.SetPurgeSuspects(options.purgeSuspects);
        if (options.verbosity == CliVerbosity::Verbose)
            screener.SetCommandObserver([this](const std::string& line) { window.status.CommandSent(line); });
    }

    ConsoleWindow window;
    Screener screener;
    std::filesystem::path recordFile;
    MailboxIdentity mailbox;
    std::ostream& err;
    std::string failure;  // what the run's failure said, its cause on a line of its own
};

// The run's changes to the stored account; the password is asked for when
// the run names another host.
AccountOverrides OverridesForRun(CliSession& s, const CliOptions& options,
                                 const PasswordReader& readPassword) {
    return OverridesOf(options, ReadAccount(TIniFile(s.screener.Paths().settings), options.account),
                       readPassword);
}

void RestoreRecord(CliSession& s, int account) {
    if (auto record = ReadScanRecord(s.recordFile, account, s.mailbox))
        s.screener.RestoreRecord(std::move(*record));
}

// False, having said why and what follows, when the record cannot be written.
bool SaveRecord(CliSession& s, int account) {
    try {
        WriteScanRecord(s.recordFile, account, s.mailbox, s.screener.Record());
        return true;
    } catch (const EIdException& e) {
        s.err << ConsoleText(e.Message()) << '\n'
              << "Le relevé des en-têtes n'est pas enregistré : une commande « supprimer » "
                 "sur ce compte sera refusée jusqu'à une consultation des en-têtes réussie."
              << '\n';
        return false;
    }
}

// The error box said what failed; a script also needs the cause.
int ExitStatus(CliSession& s, const Outcome& outcome) {
    const std::string& cause = outcome.underlying;
    if (!outcome.IsDone()) s.failure = outcome.shown;
    if (outcome.IsFailed() && !cause.empty() && StandardErrorText(cause) != outcome.shown) {
        s.err << ConsoleText(cause) << '\n';
        s.failure += (s.failure.empty() ? "" : "\n") + cause;
    }
    return ExitCodeOf(outcome);
}

// The accounts of the user's other mail clients into free slots; the slots
// written, one per line.
int Import(CliSession& s, std::ostream& out) {
    MemoryRegistry registry =
        UserAccountRegistry(UserFolders::FromEnvironment(), ImportRoom(s.screener.Paths().settings));
    ImportResult result;
    Outcome outcome = s.screener.ImportAccounts(registry, {}, &result);
    for (int slot : result.writtenSlots) out << slot << '\n';
    return ExitStatus(s, outcome);
}

// The rows on the standard output; how many of them could not be read all
// through on the standard error, which a script's log keeps.
void PrintScan(CliSession& s, CliFormat format, std::ostream& out) {
    PrintRows(s.screener.Record(), format, out);
    if (std::string unreadable = UnreadableCountText(s.screener.Record()); !unreadable.empty())
        s.err << ConsoleText(unreadable) << '\n';
}

// The mailbox commands: en-tetes, apercu, supprimer.
int RunMailboxCommand(CliSession& s, const CliOptions& options, std::ostream& out,
                      const PasswordReader& readPassword) {
    Outcome loaded = s.screener.LoadAccount(options.account, OverridesForRun(s, options, readPassword));
    // Nothing is sent for an account that cannot log in.
    if (loaded.IsDone()) loaded = s.screener.RequireConfiguredAccount(options.account);
    // A scheduled purge must never run on half its lists.
    if (loaded.IsDone()) loaded = s.screener.LoadLists();
    // The record of the last scan is read and written under the lock too.
    if (loaded.IsDone()) loaded = s.screener.HoldMailboxLock();
    if (!loaded.IsDone()) return ExitStatus(s, loaded);
    const Account& account = s.screener.CurrentAccount();
    s.mailbox = {account.host, account.port, account.user};
    Outcome outcome;
    bool recordSaved = true;
    switch (options.command) {
        case CliCommand::Headers:
            outcome = s.screener.Scan(options.readAll ? ScanReading::Whole : ScanReading::Cached);
            // A scan kept out by another run leaves that run's record alone.
            if (s.screener.HasRecord()) recordSaved = SaveRecord(s, options.account);
            PrintScan(s, options.format, out);
            break;
        case CliCommand::Preview:
            RestoreRecord(s, options.account);
            outcome = s.screener.Preview(options.message);
            // The pane of a message the server did not give is no message for a JSON reader.
            if (options.format == CliFormat::Tsv || outcome.IsDone())
                PrintPreview(options.message, s.window.preview.lines, s.screener.PreviewAttachments(),
                             options.format, out);
            if (outcome.IsRefused() && outcome.shown.empty())
                s.err << "Le serveur n'a pas de message " << options.message << ".\n";
            break;
        case CliCommand::Delete:
            RestoreRecord(s, options.account);
            outcome = s.screener.Delete(options.message);
            if (s.screener.HasRecord()) recordSaved = SaveRecord(s, options.account);
            PrintScan(s, options.format, out);
            break;
        default:
            break;
    }
    const int status = ExitStatus(s, outcome);
    return status == cli_exit::kDone && !recordSaved ? cli_exit::kLocalFile : status;
}

// Each line of `text` after `prefix`.
std::string Prefixed(const std::string& text, const std::string& prefix) {
    std::string out;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        end = end == std::string::npos ? text.size() : end + 1;
        out += prefix + text.substr(from, end - from);
        from = end;
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

// en-tetes --compte tous: each account in turn, each in a run of its own;
// one that fails does not stop the others, and the status is the highest. A
// half-filled slot is passed over with a note.
int RunAllAccounts(const CliOptions& options, const AppPaths& paths, std::ostream& out, std::ostream& err,
                   const PasswordReader& readPassword) {
    int highest = cli_exit::kDone;
    bool first = true;
    const auto skip = [&](int slot, const std::string& missing) {
        err << "Compte " << slot << " : " << ConsoleText(missing) << '\n';
    };
    const auto run = [&](int slot) {
        CliOptions one = options;
        one.allAccounts = false;
        one.account = slot;
        std::ostringstream rows, said;
        std::string failure;
        int status = cli_exit::kDone;
        {
            CliSession s(one, paths, said);
            status = RunMailboxCommand(s, one, rows, readPassword);
            failure = std::move(s.failure);
        }
        highest = std::max(highest, status);
        const std::string number = std::to_string(slot);
        err << Prefixed(said.str(), "Compte " + number + " : ");
        if (options.format == CliFormat::Tsv) {
            out << Prefixed(rows.str(), number + "\t");
            return true;
        }
        std::string lines = rows.str();
        while (!lines.empty() && lines.back() == '\n') lines.pop_back();
        if (lines.empty()) lines = "[]";
        out << (first ? "[\n" : ",\n") << "{\"compte\":" << number << ",\"lignes\":" << lines
            << ",\"erreur\":" << (status == cli_exit::kDone ? "null" : JsonString(failure)) << "}";
        first = false;
        return true;
    };
    if (RunnableSlots(TIniFile(paths.settings), {}, run, skip) == 0) {
        err << "vannoir-cli : aucun compte n'est configuré.\n";
        return cli_exit::kAccount;
    }
    if (options.format == CliFormat::Json) out << (first ? "[]\n" : "\n]\n");
    return highest;
}

int RunCommand(const CliOptions& options, const std::filesystem::path& programFolder, std::ostream& out,
               std::ostream& err, const PasswordReader& readPassword) {
    if (options.command == CliCommand::Version) {
        out << CliVersionLine();
        return cli_exit::kDone;
    }
    const AppPaths paths = CliPaths(options, programFolder);
    if (options.command == CliCommand::Help) {
        out << CliUsage() << CliFolderLine(paths);
        return cli_exit::kDone;
    }
    if (int error = PrepareAppFolder(paths)) {
        err << "vannoir-cli : "
            << ConsoleText(std::string("impossible de créer le dossier des réglages ") +
                           paths.folder.string() + " : " + SysErrorMessage(error))
            << '\n';
        return cli_exit::kLocalFile;
    }
    const std::filesystem::path& settings = paths.settings;
    if (std::string warning = ExposureWarning(paths); !warning.empty()) err << ConsoleText(warning) << '\n';
    if (options.command == CliCommand::Account)
        return RunAccountCommand(options, paths, out, err, readPassword);
    if (options.command == CliCommand::Certificate) return RunCertificateCommand(options, out, err);
    // Copies past their time go whenever a run starts.
    Corbeille(paths.corbeille, ReadCorbeilleLimits(TIniFile(settings))).Prune(std::time(nullptr));
    if (options.command == CliCommand::Corbeille) return RunCorbeilleCommand(options, paths, out, err);
    if (options.command == CliCommand::Learn) return RunLearnCommand(options, paths, err);
    if (options.command == CliCommand::Friends || options.command == CliCommand::Intruders ||
        options.command == CliCommand::Journal)
        return RunFileCommand(options, paths, out, err);
    if (options.allAccounts) return RunAllAccounts(options, paths, out, err, readPassword);
    CliSession s(options, paths, err);
    if (options.command == CliCommand::Import) return Import(s, out);
    return RunMailboxCommand(s, options, out, readPassword);
}

// The run, then the results' stream: a result that could not be written
// (a full disk) is a failed run.
int RunAndFlush(const CliOptions& options, const std::filesystem::path& programFolder, std::ostream& out,
                std::ostream& err, const PasswordReader& readPassword) {
    int status = RunCommand(options, programFolder, out, err, readPassword);
    errno = 0;
    out.flush();
    if (!out) {
        const int error = errno;
        err << "vannoir-cli : "
            << "impossible d'écrire les résultats sur la sortie standard"
            << (error ? " : " + SysErrorMessage(error) : std::string(".")) << '\n';
        status = cli_exit::kLocalFile;
    }
    return status;
}

}  // namespace

std::filesystem::path RecordFileFor(const std::filesystem::path& settings) {
    std::filesystem::path record = settings;
    return record.replace_extension(".RELEVE");
}

AppPaths CliPaths(const CliOptions& options, const std::filesystem::path& programFolder) {
    std::optional<std::filesystem::path> chosen;
    if (options.folder) chosen = std::filesystem::absolute(*options.folder);
    return ProgramPaths(programFolder / "vannoir", chosen);
}

std::string CliFolderLine(const AppPaths& paths) {
    return "Dossier des réglages : " + paths.folder.string() + "\n";
}

int RunCli(const CliOptions& options, const std::filesystem::path& programFolder, std::ostream& out,
           std::ostream& err, const PasswordReader& readPassword) {
    if (options.verbosity != CliVerbosity::Quiet)
        return RunAndFlush(options, programFolder, out, err, readPassword);
    // Quiet: what the run had to say is kept, and told only when it failed.
    std::ostringstream held;
    int status = 0;
    try {
        status = RunAndFlush(options, programFolder, out, held, readPassword);
    } catch (...) {
        err << held.str();
        throw;
    }
    if (status != cli_exit::kDone) err << held.str();
    return status;
}
