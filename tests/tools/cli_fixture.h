#pragma once
// vannoir-cli run in-process on an installation in a scratch folder: account
// 1 is anne / secret on 127.0.0.1, Zoé is a friend, Spam an intruder.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "account/password_scramble.h"
#include "platform/text.h"
#include "support/pop3_script_pieces.h"
#include "support/scratch_folder.h"
#include "support/scripted_pop3_server.h"
#include "tools/cli_run.h"

namespace cli_test {

using Lines = std::vector<std::string>;

inline const std::string kQuit = Quit();
inline const std::string kNext = kNextSession;
inline const std::string kSpam = "From: Spam <s@pub.example>\nSubject: Promo";
inline const std::string kZoe = "From: Zo\xE9 <z@example.fr>\nSubject: Caf\xE9";

// Lines of `text` with column 1 (the local date) left out of tab-separated rows.
inline Lines WithoutDates(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::size_t first = line.find('\t'), second = line.find('\t', first + 1);
        if (first != std::string::npos && second != std::string::npos) line.erase(first, second - first);
        lines.push_back(line);
    }
    return lines;
}

struct CliFixture : testing::Test {
    CliFixture() {
        PutFile(dir / "vannoir.INI", "[Form]\r\nServeur1=127.0.0.1\r\nNom1=anne\r\nPasse1=" +
                                         ScramblePassword("secret") + "\r\nCorbeille=0\r\n");
        PutFile(dir / "Liste" / "Amis.TXT", "Zo\xE9\r\n");
        PutFile(dir / "Liste" / "Intrus.TXT", "Spam\r\n");
    }
    int Run(Lines args, const ScriptedPop3Server& server) { return Run(std::move(args), server.Port()); }
    int Run(Lines args, int port) {
        args.push_back("--port=" + IntToStr(port));
        out.str("");
        err.str("");
        CliOptions options = ParseCliArguments(args);
        options.lockWaitMs = 300;
        return RunCli(options, dir.Path(), out, err);
    }
    ScratchFolder dir;
    std::ostringstream out, err;
};

}  // namespace cli_test
