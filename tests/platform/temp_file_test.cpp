#include "platform/temp_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/temp_file_stream.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace {

// A fresh directory of our own, removed with everything in it.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "vannoir-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    int FileCount() const { return static_cast<int>(std::distance(fs::directory_iterator(path_), {})); }

private:
    fs::path path_;
};

TEST(TempFile, DirectoryIsTheSystemsWithoutTrailingSlash) {
    EXPECT_EQ(TempDirectory(), fs::temp_directory_path().string());
    EXPECT_NE(TempDirectory().back(), '/');
}

TEST(TempFile, NewFileIsEmptyPrivateAndNamedOrvi) {
    std::string path = NewTempFile();
    fs::path file(path);
    EXPECT_EQ(file.parent_path(), fs::path(TempDirectory()));
    EXPECT_EQ(file.filename().string().rfind("Orvi", 0), 0u);
    ASSERT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(fs::file_size(file), 0u);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    fs::remove(file);
}

TEST(TempFile, EveryCallGivesANewFile) {
    ScratchDir dir;
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) names.insert(NewTempFile(dir.path().string()));
    EXPECT_EQ(names.size(), 20u);
    EXPECT_EQ(dir.FileCount(), 20);
}

TEST(TempFile, GivenDirectoryWithOrWithoutTrailingSlash) {
    ScratchDir dir;
    EXPECT_EQ(fs::path(NewTempFile(dir.path().string())).parent_path(), dir.path());
    EXPECT_EQ(fs::path(NewTempFile(dir.path().string() + "/")).parent_path(), dir.path());
}

TEST(TempFile, MissingDirectoryRaisesInsteadOfGivingAName) {
    ScratchDir dir;
    std::string missing = (dir.path() / "absent").string();
    try {
        NewTempFile(missing);
        FAIL() << "no error";
    } catch (const EIdTempFileError& e) {
        EXPECT_EQ(e.Message(),
                  std::string("Impossible de créer un fichier temporaire dans ") + missing + ".");
    }
    EXPECT_EQ(dir.FileCount(), 0);
}

// Runs `child` in a forked process that then exits normally; returns its status.
template <class Child>
int RunAndExit(Child child) {
    pid_t pid = fork();
    if (pid == 0) {
        child();
        std::exit(0);
    }
    int status = -1;
    waitpid(pid, &status, 0);
    return status;
}

TEST(TempFile, FilesOfAProcessAreRemovedWhenItExits) {
    ScratchDir dir;
    int status = RunAndExit([&] {
        NewTempFile(dir.path().string());
        NewTempFile(dir.path().string());
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(dir.FileCount(), 0);
}

TEST(TempFile, AChildDoesNotRemoveItsParentsFiles) {
    ScratchDir dir;
    std::string mine = NewTempFile(dir.path().string());
    ASSERT_TRUE(WIFEXITED(RunAndExit([] {})));
    EXPECT_TRUE(fs::exists(mine));
}

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(TempFileStream, WritesItsOwnFile) {
    ScratchDir dir;
    TempFileStream file(dir.path().string());
    const std::string bytes = std::string(40000, 'x') + "\xE9\x00fin";
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.Finish());
    EXPECT_EQ(Contents(file.Path()), bytes);
}

// A reception cut short leaves no partial file behind.
TEST(TempFileStream, AnUnfinishedFileIsRemoved) {
    ScratchDir dir;
    {
        TempFileStream file(dir.path().string());
        file << std::string(40000, 'x');
        EXPECT_EQ(dir.FileCount(), 1);
    }
    EXPECT_EQ(dir.FileCount(), 0);
}

// In a shared folder another user may swap the new name for a link.
TEST(TempFileStream, ASwappedNameReceivesNothing) {
    ScratchDir dir;
    const fs::path victim = dir.path() / "victim";
    std::ofstream(victim) << "kept";
    TempFileStream file(dir.path().string());
    const fs::path made(file.Path());
    fs::remove(made);
    fs::create_symlink(victim, made);
    file << "attachment";
    EXPECT_TRUE(file.Finish());
    EXPECT_EQ(Contents(victim), "kept");
}

}  // namespace
