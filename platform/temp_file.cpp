#include "platform/temp_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/text.h"

namespace {

[[noreturn]] void Fail(const std::string& dir) {
    throw EIdTempFileError(std::string(temp_file_text::kCannotCreate) +
                           (dir.empty() ? "." : " dans " + dir + "."));
}

std::string ReadTempDirectory() {
    std::error_code error;
    std::filesystem::path dir = std::filesystem::temp_directory_path(error);
    if (error) return {};
    std::string text = dir.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

// The files this process made, removed at normal exit. Each entry keeps the
// id of the process that made it: after a fork the child inherits the list,
// and only the maker of a file may remove it.
class CreatedFiles {
public:
    void Add(std::string path) {
        std::lock_guard lock(mutex_);
        files_.push_back({getpid(), std::move(path)});
    }
    void Remove(const std::string& path) {
        std::lock_guard lock(mutex_);
        std::erase_if(files_, [&](const auto& file) {
            if (file.first != getpid() || file.second != path) return false;
            unlink(path.c_str());
            return true;
        });
    }
    ~CreatedFiles() {
        for (const auto& [maker, path] : files_)
            if (maker == getpid()) unlink(path.c_str());
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<pid_t, std::string>> files_;
};

CreatedFiles& Created() {
    static CreatedFiles files;
    return files;
}

// Read at program start, as the temporary directory is meant to be; the
// registry is built first so that it outlives every later file.
[[maybe_unused]] const bool kReadAtStart = (Created(), TempDirectory(), true);

}  // namespace

const std::string& TempDirectory() {
    static const std::string dir = ReadTempDirectory();
    return dir;
}

int OpenNewTempFile(std::string_view directory, std::string& path) {
    std::string dir(directory.empty() ? std::string_view(TempDirectory()) : directory);
    if (dir.empty()) Fail(dir);
    std::string pattern(dir);
    if (pattern.back() != '/') pattern += '/';
    pattern += "OrviXXXXXX";
    // mkstemp makes the file with mode 0600 and a name no file had before.
    int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) Fail(dir);
    Created().Add(pattern);
    path = pattern;
    return fd;
}

void RemoveTempFile(std::string_view path) { Created().Remove(std::string(path)); }

std::string NewTempFile(std::string_view directory) {
    std::string path;
    close(OpenNewTempFile(directory, path));
    return path;
}
