#pragma once
// The logic of a list dialog (friends or intruders): show the list file in
// the dialog's box, remove the selected name, save the box back to the file.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/outcome.h"
#include "app/window.h"

// A list dialog's list box, single selection. It shows the items in the
// order it is given them.
class ListBoxView {
public:
    virtual ~ListBoxView() = default;
    virtual std::vector<std::string> Items() const = 0;
    virtual void SetItems(const std::vector<std::string>& items) = 0;
    // -1 when nothing is selected.
    virtual int SelectedIndex() const = 0;
    virtual void DeleteItem(int index) = 0;
};

class ListDialog {
public:
    // `sorted`: the box orders its names (the friend dialog) rather than
    // keeping the file order. `saved` runs after each successful save, so
    // the main window can reload its own copy of the list.
    ListDialog(std::filesystem::path file, bool sorted, ListBoxView& box, Dialogs& dialogs,
               std::function<void()> saved)
        : file_(std::move(file)), sorted_(sorted), box_(box), dialogs_(dialogs), saved_(std::move(saved)) {}

    // A new working list loaded from the file, copied into the box. A file
    // that cannot be read (standard error box): the working list stays empty
    // and the box keeps what it showed.
    Outcome Show();
    // "Supprimer": removes the selected name from the box (none selected:
    // nothing), then saves the box's names in its order. A file that cannot
    // be written (standard error box): the removal stays in the box only.
    Outcome DeleteSelected();
    // Frees the working list; saves nothing.
    void Close() { working_.reset(); }

    const std::optional<std::vector<std::string>>& WorkingList() const { return working_; }

private:
    std::filesystem::path file_;
    bool sorted_;
    ListBoxView& box_;
    Dialogs& dialogs_;
    std::function<void()> saved_;
    std::optional<std::vector<std::string>> working_;
};
