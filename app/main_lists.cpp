#include "app/main_lists.h"

#include "app/texts.h"

void MainLists::LoadBoth() {
    Reload(ListKind::Friends);
    Reload(ListKind::Intruders);
}

void MainLists::Reload(ListKind kind) { Edit(kind).Assign(LoadListFile(File(kind))); }

void MainLists::AddSender(ListKind kind, std::string name) {
    if (!Edit(kind).Add(std::move(name))) return;
    SaveListFile(File(kind), List(kind).Entries());
}

std::string MainLists::StatusOf(std::string_view sender) const {
    if (intruders_.Contains(sender)) return std::string(texts::kIntruderMark);
    if (friends_.Contains(sender)) return std::string(texts::kFriendMark);
    return {};
}

std::unique_ptr<ListDialog> MainLists::MakeDialog(ListKind kind, ListBoxView& box, Dialogs& dialogs) {
    return std::make_unique<ListDialog>(File(kind), kind == ListKind::Friends, box, dialogs,
                                        [this, kind] { Reload(kind); });
}
