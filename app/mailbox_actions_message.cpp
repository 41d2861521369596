// The actions on the message of one grid row: the preview and the deletion,
// each guarded against a mailbox changed since the scan.
#include <optional>

#include "app/mailbox_actions.h"
#include "app/preview_lines.h"
#include "app/texts.h"
#include "net/net_errors.h"
#include "platform/text_format.h"

// Whether the message now in the message object is not the one the scan
// showed in row `message`: a row past the scan's end must be empty too.
bool MailboxActions::HeaderChanged(int message) const {
    if (!haveRecord_) return false;
    const ScanRow* row = RowOf(record_, message);
    const std::vector<std::string>& lines = message_.HeaderLines.Lines();
    return row ? HeaderDigest(lines) != row->headerDigest : !lines.empty();
}

// Two messages may share a header: the size and the unique id the scan saw
// must match as well. Asked of the server only once the header matched.
bool MailboxActions::OtherMessage(int message) {
    const ScanRow* row = RowOf(record_, message);
    if (!row) return true;
    const int size = client_.QueryMessageSize(message);
    if ((size >= 0 ? std::optional<std::int64_t>(size) : std::nullopt) != row->size) return true;
    return !row->uniqueId.empty() && client_.QueryUniqueId(message) != row->uniqueId;
}

void MailboxActions::ShowPreview(int message, bool& retrieved, bool& changed) {
    attachments_.clear();
    message_.ClearAll();
    view_.preview.Clear();
    retrieved = client_.LoadMessage(message, message_);
    changed = HeaderChanged(message);
    AppendPreviewLines();
}

void MailboxActions::AppendPreviewLines() {
    ::AppendPreviewLines(message_, view_.preview, attachments_, &unreadable_);
}

Outcome MailboxActions::RunDelete(int message) {
    const std::string number = IntToStr(message);
    if (!RowOf(record_, message))
        return Refuse(FormatText(std::string(texts::kDeleteRefusedNoScan), {number}),
                      Outcome::Fault::Changed);
    bool changed = false;
    Outcome outcome = InSession([&] {
        message_.ClearAll();
        try {
            client_.LoadMessageHeader(message, message_);
            changed = HeaderChanged(message) || OtherMessage(message);
        } catch (const EIdProtocolReplyError&) {
            // The server no longer knows the message the scan showed.
            changed = true;
        }
        if (changed) return;
        DeleteKeepingCopies({message}, DeletionKind::Single);
    });
    if (outcome.IsDone() && changed)
        return Refuse(FormatText(std::string(texts::kDeleteRefusedChanged), {number}),
                      Outcome::Fault::Changed);
    return outcome;
}

void MailboxActions::RestoreRecord(ScanRecord record) {
    record_ = std::move(record);
    haveRecord_ = true;
}
