#include "app/list_dialog.h"

#include "app/sender_list.h"

Outcome ListDialog::Show() {
    return RunShowingErrors(dialogs_, [this] {
        working_.emplace();
        *working_ = LoadListFile(file_);
        std::vector<std::string> shown = *working_;
        if (sorted_) SortLikeListBox(shown);
        box_.SetItems(shown);
    });
}

Outcome ListDialog::DeleteSelected() {
    return RunShowingErrors(dialogs_, [this] {
        int selected = box_.SelectedIndex();
        if (selected >= 0) box_.DeleteItem(selected);
        working_ = box_.Items();
        SaveListFile(file_, *working_);
        if (saved_) saved_();
    });
}
