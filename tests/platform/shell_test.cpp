// The desktop's opener: whether a program took the document.
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "support/scratch_folder.h"

namespace {

struct OpenerCase {
    const char* name;
    const char* opener;  // the script standing for xdg-open; none when empty
    bool opened;
};
const OpenerCase kOpeners[] = {
    {"a_program_took_it", "exit 0", true},
    {"no_program_for_the_type", "exit 3", false},
    {"no_opener", "", false},
    {"the_program_still_runs", "/bin/sleep 3", true},
};

class Opener : public testing::TestWithParam<OpenerCase> {};
TEST_P(Opener, SaysWhetherTheDesktopOpenedTheDocument) {
    ScratchFolder bin;
    if (*GetParam().opener) {
        PutFile(bin / "xdg-open",
                std::string("#!/bin/sh\necho \"$1\" > \"$0.log\"\n") + GetParam().opener + "\n");
        ::chmod((bin / "xdg-open").c_str(), 0700);
    }
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", bin.Path().c_str(), 1);
    DesktopShell shell;
    const bool opened = shell.Open("/tmp/une page.htm");
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(opened, GetParam().opened);
    if (*GetParam().opener) {
        EXPECT_EQ(FileBytes(bin / "xdg-open.log"), "/tmp/une page.htm\n");
    }
}
INSTANTIATE_TEST_SUITE_P(Table, Opener, testing::ValuesIn(kOpeners),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
