#include "app/main_lists.h"

#include "app/scan_cells.h"
#include "app/texts.h"

void MainLists::LoadBoth() {
    Reload(ListKind::Friends);
    Reload(ListKind::Intruders);
}

void MainLists::Reload(ListKind kind) {
    Edit(kind).Assign(LoadListFile(File(kind)));
    Changed(kind);
}

void MainLists::Empty(ListKind kind) {
    Edit(kind).Clear();
    Changed(kind);
}

void MainLists::Changed(ListKind kind) {
    if (kind == ListKind::Friends) lookAlikes_.Assign(friends_.Entries());
}

bool MainLists::AddSender(ListKind kind, std::string_view text) {
    if (!Edit(kind).Add(text)) return false;
    Changed(kind);
    SaveListFile(File(kind), List(kind).Entries());
    return true;
}

bool MainLists::RemoveSender(ListKind kind, std::string_view text) {
    if (!Edit(kind).Remove(text)) return false;
    Changed(kind);
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

void MainLists::Mark(ScanRow& row, bool unknownIsFailed) const {
    const std::string shown = row.unreadSender.empty() ? ShownSender(row) : std::string();
    row.status = StatusOf({shown, row.address, row.senders}, row.authentication, unknownIsFailed);
    // An address the friend list names is no imitation; a name is the
    // cheapest thing to copy.
    if (friends_.Matches(SenderKey{{}, row.address, row.senders})) return;
    row.lookAlikes = lookAlikes_.Of(row.name, row.address);
    if (row.status == SenderStatus::Friend && !row.lookAlikes.empty())
        row.status = SenderStatus::DoubtfulFriend;
}

std::unique_ptr<ListDialog> MainLists::MakeDialog(ListKind kind, ListBoxView& box, Dialogs& dialogs) {
    return std::make_unique<ListDialog>(File(kind), kind == ListKind::Friends, box, dialogs,
                                        [this, kind] { Reload(kind); });
}
