#include "app/main_lists.h"

#include "app/texts.h"

void MainLists::LoadBoth() {
    Reload(ListKind::Friends);
    Reload(ListKind::Intruders);
}

void MainLists::Reload(ListKind kind) { Edit(kind).Assign(LoadListFile(File(kind))); }

bool MainLists::AddSender(ListKind kind, std::string_view text) {
    if (!Edit(kind).Add(text)) return false;
    SaveListFile(File(kind), List(kind).Entries());
    return true;
}

bool MainLists::RemoveSender(ListKind kind, std::string_view text) {
    if (!Edit(kind).Remove(text)) return false;
    SaveListFile(File(kind), List(kind).Entries());
    return true;
}

SenderStatus MainLists::StatusOf(SenderKey sender, SenderAuthentication authentication,
                                 bool unknownIsFailed) const {
    const FoldedSender folded(sender);
    if (intruders_.Matches(folded)) return SenderStatus::Intruder;
    if (!friends_.Matches(folded)) return SenderStatus::None;
    // A friend's address is the cheapest thing to forge.
    const bool failed = authentication == SenderAuthentication::Failed ||
                        (unknownIsFailed && authentication == SenderAuthentication::Unknown);
    return failed ? SenderStatus::DoubtfulFriend : SenderStatus::Friend;
}

std::unique_ptr<ListDialog> MainLists::MakeDialog(ListKind kind, ListBoxView& box, Dialogs& dialogs) {
    return std::make_unique<ListDialog>(File(kind), kind == ListKind::Friends, box, dialogs,
                                        [this, kind] { Reload(kind); });
}
