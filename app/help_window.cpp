#include "app/help_window.h"

#include <system_error>

std::optional<std::filesystem::path> HelpFile(const std::filesystem::path& page, std::string_view scheme,
                                              std::string_view path) {
    if (!(scheme.empty() || scheme == "file") || path.empty()) return std::nullopt;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::weakly_canonical(page.parent_path(), error);
    if (error) return std::nullopt;
    const std::filesystem::path named(path);
    const std::filesystem::path file =
        std::filesystem::weakly_canonical(named.is_absolute() ? named : page.parent_path() / named, error);
    if (error || !std::filesystem::is_regular_file(file, error)) return std::nullopt;
    // A link that climbs out of the folder, by "..", or by a symbolic link.
    const std::filesystem::path inside = file.lexically_relative(folder);
    if (inside.empty() || *inside.begin() == "..") return std::nullopt;
    return file;
}
