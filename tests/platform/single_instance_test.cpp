#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "support/scratch_folder.h"

namespace {

// Runs the test with $XDG_RUNTIME_DIR set to `value` (unset for nullopt).
class RuntimeDir {
public:
    explicit RuntimeDir(std::optional<std::string> value) {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_ = old;
        if (value)
            setenv("XDG_RUNTIME_DIR", value->c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }
    ~RuntimeDir() {
        if (old_)
            setenv("XDG_RUNTIME_DIR", old_->c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }

private:
    std::optional<std::string> old_;
};

// Whether a child process could take the marker (locks are per open file,
// so the child's own open sees this process's lock).
bool OtherProcessAcquires(const std::string& name) {
    pid_t child = fork();
    if (child == 0) {
        LockFileInstance marker;
        _exit(marker.Acquire(name) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SingleInstance, SecondHolderRefusedUntilFirstGoes) {
    ScratchFolder dir;
    RuntimeDir runtime(dir.Path().string());
    {
        LockFileInstance first;
        ASSERT_TRUE(first.Acquire("Vannoir"));
        EXPECT_TRUE(std::filesystem::exists(dir / "Vannoir"));
        EXPECT_FALSE(OtherProcessAcquires("Vannoir"));
        EXPECT_TRUE(OtherProcessAcquires("Autre")) << "markers are per name";
    }
    EXPECT_TRUE(OtherProcessAcquires("Vannoir")) << "released with its holder";
}

TEST(SingleInstance, HolderKilledReleasesTheMarker) {
    ScratchFolder dir;
    RuntimeDir runtime(dir.Path().string());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {
        LockFileInstance marker;
        char ok = marker.Acquire("Vannoir") ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 'y');
    EXPECT_FALSE(OtherProcessAcquires("Vannoir"));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(OtherProcessAcquires("Vannoir"));
    close(ready[0]);
    close(ready[1]);
}

TEST(SingleInstance, WithoutRuntimeDirUsesPrivateTempFolder) {
    RuntimeDir runtime(std::nullopt);
    std::string folder = LockFileInstance::MarkerFolder();
    ASSERT_FALSE(folder.empty());
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, getuid());
    RuntimeDir missing(std::string("/nonexistent/run"));
    EXPECT_EQ(LockFileInstance::MarkerFolder(), folder) << "a runtime dir that is not there is not used";
}

}  // namespace
