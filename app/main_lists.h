#pragma once
// The main window's friend and intruder lists and what its menu does with
// them: load at start, add the current sender, empty, and the list dialogs,
// whose saves reload the list they changed.
#include <memory>
#include <string>
#include <string_view>

#include "account/app_paths.h"
#include "app/list_dialog.h"
#include "app/list_kind.h"
#include "app/look_alikes.h"
#include "app/scan_record.h"
#include "app/sender_list.h"

class MainLists {
public:
    explicit MainLists(const AppPaths& paths) : friendFile_(paths.friends), intruderFile_(paths.intruders) {}

    const SenderList& List(ListKind kind) const { return kind == ListKind::Friends ? friends_ : intruders_; }
    const std::filesystem::path& File(ListKind kind) const {
        return kind == ListKind::Friends ? friendFile_ : intruderFile_;
    }

    // The friend list, then the intruder list, each replaced by its file.
    // Throws EListFileOpenError and stops there: the list that failed keeps
    // its contents and the next one is not loaded.
    void LoadBoth();
    // Replaces one list by its file. Throws EListFileOpenError.
    void Reload(ListKind kind);
    // Adds `text` (trimmed) unless it is empty or already an entry, then
    // saves the whole list; false when nothing was added. Throws
    // EListFileCreateError; the entry then stays in memory.
    bool AddSender(ListKind kind, std::string_view text);
    // Removes the entries that are `text`, then saves the whole list; false
    // (nothing written) when there was none. Throws EListFileCreateError.
    bool RemoveSender(ListKind kind, std::string_view text);
    // Empties the list in memory; the file is left alone.
    void Empty(ListKind kind);

    // Intruder when the intruder list catches the sender, else Friend when
    // the friend list does, else None. A friend whose provider says the
    // mail is not theirs (`authentication` Failed, or Unknown when
    // `unknownIsFailed`) is a DoubtfulFriend instead.
    SenderStatus StatusOf(SenderKey sender,
                          SenderAuthentication authentication = SenderAuthentication::Unknown,
                          bool unknownIsFailed = false) const;
    // A scan row's marks: its status as StatusOf gives it (a sender the
    // parser refused matches by its addresses only), and the friends its
    // sender imitates (LookAlikes) unless a friend entry names its address;
    // a friend by name only that imitates another is a DoubtfulFriend.
    void Mark(ScanRow& row, bool unknownIsFailed) const;

    // The dialog that removes names from a list's file; after each save it
    // reloads that list here.
    std::unique_ptr<ListDialog> MakeDialog(ListKind kind, ListBoxView& box, Dialogs& dialogs);

private:
    SenderList& Edit(ListKind kind) { return kind == ListKind::Friends ? friends_ : intruders_; }
    // After any change of a list: the look-alikes follow the friends.
    void Changed(ListKind kind);

    std::filesystem::path friendFile_, intruderFile_;
    SenderList friends_, intruders_;
    LookAlikes lookAlikes_;
};
