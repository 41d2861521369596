#include "tools/cli_run.h"

#include "app/scan_record_file.h"
#include "app/screener.h"
#include "app/settings_exposure.h"
#include "platform/text.h"
#include "tools/cli_account_command.h"
#include "tools/console_window.h"

namespace {

// Everything one run works on.
struct CliSession {
    CliSession(const CliOptions& options, const std::filesystem::path& folder, std::ostream& err)
        : window(err, options.purge),
          screener(AppPaths::ForExecutable(folder / "vannoir"), window.View()),
          recordFile(RecordFileFor(screener.Paths().settings)),
          err(err) {
        window.dialogs.underlying = [this] { return screener.Actions().LastFailure(); };
    }

    ConsoleWindow window;
    Screener screener;
    std::filesystem::path recordFile;
    MailboxIdentity mailbox;
    std::ostream& err;
};

void LoadAccount(CliSession& s, const CliOptions& options, const PasswordReader& readPassword) {
    Account account = AccountForRun(options, s.screener.Paths().settings, readPassword);
    s.screener.Actions().SetAccount(account);
    s.mailbox = {account.host, account.port, account.user};
}

// A missing list is reported and the run goes on without it, as the window does.
void LoadLists(CliSession& s) {
    for (ListKind kind : {ListKind::Friends, ListKind::Intruders}) {
        try {
            s.screener.Lists().Reload(kind);
        } catch (const EIdException& e) {
            s.err << AnsiToUtf8(e.Message()) << '\n';
        }
    }
}

void RestoreRecord(CliSession& s, int account) {
    if (auto record = ReadScanRecord(s.recordFile, account, s.mailbox))
        s.screener.Actions().RestoreRecord(std::move(*record));
}

void SaveRecord(CliSession& s, int account) {
    try {
        WriteScanRecord(s.recordFile, account, s.mailbox, s.screener.Actions().Record());
    } catch (const EIdException& e) {
        s.err << AnsiToUtf8(e.Message()) << '\n';
    }
}

void PrintGrid(CliSession& s, std::ostream& out) {
    for (const std::string& line : s.window.grid.FilledRowsUtf8()) out << line << '\n';
}

}  // namespace

std::filesystem::path RecordFileFor(const std::filesystem::path& settings) {
    std::filesystem::path record = settings;
    return record.replace_extension(".RELEVE");
}

int RunCli(const CliOptions& options, const std::filesystem::path& programFolder, std::ostream& out,
           std::ostream& err, const PasswordReader& readPassword) {
    if (options.command == CliCommand::Help) {
        out << CliUsage();
        return 0;
    }
    const std::filesystem::path settings = AppPaths::ForExecutable(programFolder / "vannoir").settings;
    if (std::string warning = SettingsExposureWarning(settings); !warning.empty())
        err << AnsiToUtf8(warning) << '\n';
    if (options.command == CliCommand::Account)
        return RunAccountCommand(options, settings, out, err, readPassword);
    if (options.command == CliCommand::Certificate) return RunCertificateCommand(options, out, err);
    CliSession s(options, programFolder, err);
    LoadAccount(s, options, readPassword);
    LoadLists(s);
    MailboxActions& actions = s.screener.Actions();
    switch (options.command) {
        case CliCommand::Headers:
            actions.Scan();
            SaveRecord(s, options.account);
            PrintGrid(s, out);
            break;
        case CliCommand::Preview:
            RestoreRecord(s, options.account);
            actions.Preview(options.message);
            for (const std::string& line : s.window.preview.lines) out << AnsiToUtf8(line) << '\n';
            // The window just shows the empty pane; a script needs to know.
            if (!s.window.dialogs.failed && !actions.PreviewRetrieved()) {
                err << "Le serveur n'a pas de message " << options.message << ".\n";
                return 1;
            }
            break;
        case CliCommand::Delete:
            RestoreRecord(s, options.account);
            actions.Delete(options.message);
            SaveRecord(s, options.account);
            PrintGrid(s, out);
            break;
        case CliCommand::Account:
        case CliCommand::Certificate:
        case CliCommand::Help:
            break;
    }
    out.flush();
    return s.window.dialogs.failed ? 1 : 0;
}
