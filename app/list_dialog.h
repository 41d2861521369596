#pragma once
// The logic of a list dialog (friends or intruders): show the list file in
// the dialog's box, remove the selected name, save the box back to the file.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/window.h"

class ListDialog {
public:
    // `sorted`: the box orders its names (the friend dialog) rather than
    // keeping the file order. `saved` runs after each successful save, so
    // the main window can reload its own copy of the list.
    ListDialog(std::filesystem::path file, bool sorted, ListBoxView& box, std::function<void()> saved)
        : file_(std::move(file)), sorted_(sorted), box_(box), saved_(std::move(saved)) {}

    // A new working list loaded from the file, copied into the box. Throws
    // EListFileOpenError: the working list stays empty and the box keeps
    // what it showed.
    void Show();
    // "Supprimer": removes the selected name from the box (none selected:
    // nothing), then saves the box's names in its order. Throws
    // EListFileCreateError: the removal then stays in the box only.
    void DeleteSelected();
    // Frees the working list; saves nothing.
    void Close() { working_.reset(); }

    const std::optional<std::vector<std::string>>& WorkingList() const { return working_; }

private:
    std::filesystem::path file_;
    bool sorted_;
    ListBoxView& box_;
    std::function<void()> saved_;
    std::optional<std::vector<std::string>> working_;
};
