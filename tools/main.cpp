// vannoir-cli: the screener's scan, preview and deletion from a command line.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "platform/interruption.h"
#include "platform/secret_memory.h"
#include "platform/text.h"
#include "tools/cli_exit.h"
#include "tools/cli_options.h"
#include "tools/cli_run.h"
#include "tools/console_text.h"

namespace {

// A run a signal stopped ends with the status a shell expects of it, once
// the action has unwound (temporary files gone, no QUIT sent). A failed
// action has said why already.
int Finished(int status) {
    const int interrupted = Interruption::ExitStatus();
    if (interrupted == 0) return status;
    if (status == 0)
        std::cerr << "vannoir-cli : " << ConsoleText(EIdInterrupted(Interruption::Signal()).Message())
                  << '\n';
    return interrupted;
}

}  // namespace

int main(int argc, char** argv) {
    // Before any password is read or typed.
    KeepSecretsOutOfCoreDumps();
    Interruption::InstallHandlers();
    std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options;
    try {
        options = ParseCliArguments(args);
    } catch (const CliUsageError& e) {
        std::cerr << CliUsageErrorLine(e);
        return cli_exit::kUsage;
    }
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv[0]);
    try {
        return Finished(RunCli(options, self.parent_path(), std::cout, std::cerr));
    } catch (const std::exception& e) {
        std::cerr << "vannoir-cli : " << ConsoleText(ErrorText(e)) << '\n';
        return Finished(ExitCodeOf(e));
    }
}
