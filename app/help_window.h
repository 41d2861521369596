// The help window's logic.
#pragma once
// Which files the help window reads for a page's links and pictures: only
// the help folder's own, so that nothing is ever fetched from elsewhere.
#include <filesystem>
#include <optional>
#include <string_view>

// The file that a link or picture of `page` names, `scheme` and `path` as
// the page's address has them (a relative path is read from the page's
// folder): when it is a local file inside the page's folder or below it.
// Nothing for another scheme (the network), a file elsewhere on the disk,
// or a missing file.
std::optional<std::filesystem::path> HelpFile(const std::filesystem::path& page, std::string_view scheme,
                                              std::string_view path);
