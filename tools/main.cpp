// vannoir-cli: the screener's scan, preview and deletion from a command line.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tools/cli_exit.h"
#include "tools/cli_options.h"
#include "tools/cli_run.h"
#include "tools/console_text.h"

int main(int argc, char** argv) {
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
        return RunCli(options, self.parent_path(), std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "vannoir-cli : " << ConsoleText(ErrorText(e)) << '\n';
        return ExitCodeOf(e);
    }
}
