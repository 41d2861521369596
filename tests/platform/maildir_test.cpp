#include "platform/maildir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/system_error_text.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

// A file reaches new/ whole or not at all: written in tmp/, cut back,
// moved; one dropped before its delivery leaves nothing behind.
TEST(Maildir, AFileIsDeliveredWholeOrLeavesNothing) {
    ScratchFolder dir;
    const fs::path folder = dir / "data" / "Corbeille";
    fs::path failed;
    ASSERT_EQ(OpenMaildir::Make(folder, failed), 0);
    for (const fs::path& made : {dir / "data", folder, folder / "tmp", folder / "new", folder / "cur"})
        EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all) << made;
    int error = -1;
    const std::shared_ptr<OpenMaildir> open = OpenMaildir::Open(folder, error, failed);
    ASSERT_TRUE(open);
    EXPECT_EQ(error, 0);

    const std::string name = NewMaildirName(1000);
    EXPECT_NE(NewMaildirName(1000), name);
    {
        MaildirFile file(open, name);
        ASSERT_EQ(file.CreateError(), 0);
        EXPECT_EQ(file.Write("Subject: x\r\n\r\nbody"), 0);
        EXPECT_EQ(file.Truncate(14), 0);
        EXPECT_EQ(open->RegularFiles("new"), std::vector<std::string>{});
        EXPECT_EQ(file.Deliver(), 0);
    }
    EXPECT_EQ(FileBytes(folder / "new" / name), "Subject: x\r\n\r\n");
    EXPECT_EQ(open->RegularFiles("new"), std::vector<std::string>{name});
    MaildirFileFacts facts;
    EXPECT_EQ(open->Regular(fs::path("new") / name, facts), 0);
    EXPECT_EQ(facts.size, 14u);
    {
        MaildirFile dropped(open, NewMaildirName(1000));
        EXPECT_EQ(dropped.Write("partial"), 0);
    }
    EXPECT_EQ(open->RegularFiles("tmp"), std::vector<std::string>{});
    EXPECT_EQ(open->Remove(fs::path("new") / name), 0);
    EXPECT_EQ(open->Remove(fs::path("new") / name), ENOENT);
}

// Whatever stands where the Maildir's folders or its index should be is
// refused, and nothing is made or written through it.
struct RefusedCase {
    const char* name;
    const char* path;  // in the Maildir's folder; "" for the folder itself
    enum { Link, File, Fifo } what;
    int make;    // Make's answer
    int open;    // Open's
    int append;  // AppendFile's for "Index.TXT"
};
const RefusedCase kRefused[] = {
    {"folder_a_link", "", RefusedCase::Link, ELOOP, ENOTDIR, 0},
    {"new_a_link", "new", RefusedCase::Link, ELOOP, ENOTDIR, 0},
    {"cur_a_file", "cur", RefusedCase::File, ENOTDIR, ENOTDIR, 0},
    {"index_a_link", "Index.TXT", RefusedCase::Link, 0, 0, ELOOP},
    {"index_a_fifo", "Index.TXT", RefusedCase::Fifo, 0, 0, kNotRegularFile},
};
class MaildirRefuses : public testing::TestWithParam<RefusedCase> {};
TEST_P(MaildirRefuses, WhatIsNotItsOwn) {
    ScratchFolder dir;
    const fs::path folder = dir / "Corbeille";
    const fs::path elsewhere = dir / "elsewhere";
    fs::create_directories(elsewhere);
    const fs::path odd = *GetParam().path ? folder / GetParam().path : folder;
    fs::create_directories(odd.parent_path());
    switch (GetParam().what) {
        case RefusedCase::Link:
            fs::create_directory_symlink(elsewhere, odd);
            break;
        case RefusedCase::File:
            PutFile(odd, "x");
            break;
        case RefusedCase::Fifo:
            ASSERT_EQ(::mkfifo(odd.c_str(), 0600), 0);
            break;
    }
    fs::path failed;
    EXPECT_EQ(OpenMaildir::Make(folder, failed), GetParam().make);
    if (GetParam().make != 0) {
        EXPECT_EQ(failed, odd);
    }
    int error = 0;
    const std::shared_ptr<OpenMaildir> open = OpenMaildir::Open(folder, error, failed);
    EXPECT_EQ(error, GetParam().open);
    EXPECT_EQ(open != nullptr, GetParam().open == 0);
    if (open) {
        EXPECT_EQ(open->AppendFile("Index.TXT", "line\n"), GetParam().append);
        std::string bytes;
        if (GetParam().append != 0) {
            EXPECT_EQ(open->ReadFile("Index.TXT", bytes), GetParam().append);
        }
    }
    EXPECT_TRUE(fs::is_empty(elsewhere)) << "nothing made or written through a link";
}
INSTANTIATE_TEST_SUITE_P(Table, MaildirRefuses, testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
