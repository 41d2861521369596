#pragma once
// Where the main window was when it closed: its place and size, the grid's
// column order and widths, and the account it showed. Kept in the settings
// file's section "Fenetre", read back at the next start.
#include <filesystem>
#include <optional>
#include <vector>

struct WindowState {
    int left = 0, top = 0, width = 0, height = 0;
    // Grid columns 1 to 5 (what each shows) in their on-screen order, and
    // their widths in pixels by column.
    std::vector<int> columnOrder;
    std::vector<int> columnWidths;
    int account = 1;
    bool operator==(const WindowState&) const = default;
};

// nullopt when the file has no such section or its size is unusable; a
// column list that is not a permutation of 0..4 (or not five widths) reads as
// empty. Never throws.
std::optional<WindowState> ReadWindowState(const std::filesystem::path& settings);
// One replacement of the file. Throws EIniWriteError.
void WriteWindowState(const std::filesystem::path& settings, const WindowState& state);
