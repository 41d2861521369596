#pragma once
// A fresh folder under the system's temporary directory, removed with
// everything in it when the object goes; plus byte-exact file helpers.
#include <filesystem>
#include <string>
#include <string_view>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole file as bytes; "<missing>" when it cannot be opened.
std::string FileBytes(const std::filesystem::path& path);
// Creates or replaces a file with exactly these bytes (folders made as needed).
void PutFile(const std::filesystem::path& path, std::string_view bytes);
