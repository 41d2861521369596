#include "tools/cli_run.h"

#include "app/scan_record_file.h"
#include "app/screener.h"
#include "app/settings_exposure.h"
#include "platform/system_error_text.h"
#include "platform/text.h"
#include "platform/user_accounts.h"
#include "tools/cli_account_command.h"
#include "tools/cli_lists.h"
#include "tools/console_window.h"

namespace {

// Everything one run works on.
struct CliSession {
    CliSession(const CliOptions& options, const AppPaths& paths, std::ostream& err)
        : window(err, options.purge),
          screener(paths, window.View()),
          recordFile(RecordFileFor(screener.Paths().settings)),
          err(err) {}

    ConsoleWindow window;
    Screener screener;
    std::filesystem::path recordFile;
    MailboxIdentity mailbox;
    std::ostream& err;
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

// Exit status of a run whose action succeeded but whose record was not kept,
// and of one whose own folder could not be made.
constexpr int kRecordNotSaved = 6;
constexpr int kLocalFileError = 6;

// False, having said why and what follows, when the record cannot be written.
bool SaveRecord(CliSession& s, int account) {
    try {
        WriteScanRecord(s.recordFile, account, s.mailbox, s.screener.Record());
        return true;
    } catch (const EIdException& e) {
        s.err << AnsiToUtf8(e.Message()) << '\n'
              << AnsiToUtf8(Ansi("Le relevé des en-têtes n'est pas enregistré : une commande « supprimer » "
                                 "sur ce compte sera refusée jusqu'à une consultation des en-têtes réussie."))
              << '\n';
        return false;
    }
}

// The rows of the scan, six cells joined by tabs.
void PrintRows(CliSession& s, std::ostream& out) {
    for (const ScanRow& row : s.screener.Record()) {
        for (std::size_t column = 0; column < row.cells.size(); ++column)
            out << (column ? "\t" : "") << AnsiToUtf8(row.cells[column]);
        out << '\n';
    }
}

// The error box said what failed; a script also needs the cause.
int ExitStatus(CliSession& s, const Outcome& outcome) {
    if (outcome.IsDone()) return 0;
    const std::string& cause = outcome.underlying;
    if (outcome.IsFailed() && !cause.empty() && StandardErrorText(cause) != outcome.shown)
        s.err << AnsiToUtf8(cause) << '\n';
    return 1;
}

// The accounts of the user's other mail clients into free slots; the slots
// written, one per line.
int Import(CliSession& s, std::ostream& out) {
    MemoryRegistry registry = UserAccountRegistry(UserFolders::FromEnvironment());
    ImportResult result;
    Outcome outcome = s.screener.ImportAccounts(registry, {}, &result);
    for (int slot : result.writtenSlots) out << slot << '\n';
    return ExitStatus(s, outcome);
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
    const AppPaths paths = CliPaths(options, programFolder);
    if (options.command == CliCommand::Help) {
        out << CliUsage() << CliFolderLine(paths);
        return 0;
    }
    if (int error = PrepareAppFolder(paths)) {
        err << "Impossible de créer le dossier des réglages " << paths.folder.string() << " : "
            << AnsiToUtf8(SysErrorMessage(error)) << '\n';
        return kLocalFileError;
    }
    const std::filesystem::path& settings = paths.settings;
    if (std::string warning = SettingsExposureWarning(settings); !warning.empty())
        err << AnsiToUtf8(warning) << '\n';
    if (options.command == CliCommand::Account)
        return RunAccountCommand(options, settings, out, err, readPassword);
    if (options.command == CliCommand::Certificate) return RunCertificateCommand(options, out, err);
    if (options.command == CliCommand::Friends || options.command == CliCommand::Intruders ||
        options.command == CliCommand::Journal)
        return RunFileCommand(options, paths, out, err);
    CliSession s(options, paths, err);
    if (options.command == CliCommand::Import) return Import(s, out);
    Outcome loaded = s.screener.LoadAccount(options.account, OverridesForRun(s, options, readPassword));
    // A scheduled purge must never run on half its lists.
    if (loaded.IsDone()) loaded = s.screener.LoadLists();
    if (!loaded.IsDone()) return ExitStatus(s, loaded);
    const Account& account = s.screener.CurrentAccount();
    s.mailbox = {account.host, account.port, account.user};
    Outcome outcome;
    bool recordSaved = true;
    switch (options.command) {
        case CliCommand::Headers:
            outcome = s.screener.Scan();
            recordSaved = SaveRecord(s, options.account);
            PrintRows(s, out);
            break;
        case CliCommand::Preview:
            RestoreRecord(s, options.account);
            outcome = s.screener.Preview(options.message);
            for (const std::string& line : s.window.preview.lines) out << AnsiToUtf8(line) << '\n';
            if (outcome.IsRefused() && outcome.shown.empty())
                err << "Le serveur n'a pas de message " << options.message << ".\n";
            break;
        case CliCommand::Delete:
            RestoreRecord(s, options.account);
            outcome = s.screener.Delete(options.message);
            recordSaved = SaveRecord(s, options.account);
            PrintRows(s, out);
            break;
        default:
            break;
    }
    out.flush();
    const int status = ExitStatus(s, outcome);
    return status == 0 && !recordSaved ? kRecordNotSaved : status;
}
