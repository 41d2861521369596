// The actions on the message of one grid row: the preview and the deletion,
// each guarded against a mailbox changed since the scan.
#include "app/mailbox_actions.h"
#include "app/texts.h"
#include "message/message_part.h"
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
    if (IntToStr(client_.QueryMessageSize(message)) != row->cells[4]) return true;
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
    PreviewPane& pane = view_.preview;
    attachments_.clear();
    unreadable_.clear();
    const std::string unreadable = " (" + Ansi(texts::kUnreadablePart) + ")";
    pane.AppendLine(message_.From.Text());
    pane.AppendLine(message_.Recipients.AsText());
    pane.AppendLine(Ansi(texts::kPartCount) + IntToStr(message_.Parts.Count()));
    for (const std::string& line : message_.Body.Lines()) pane.AppendLine(line);
    for (int i = 0; i < message_.Parts.Count(); ++i) {
        const TIdMessagePart& part = message_.Parts[i];
        if (const auto* text = dynamic_cast<const TIdText*>(&part)) {
            for (const std::string& line : text->Body.Lines()) pane.AppendLine(line);
            if (part.Unreadable) {
                pane.AppendLine(unreadable.substr(1));
                unreadable_.push_back(Ansi(texts::kUnreadableText));
            }
        } else if (const auto* attachment = dynamic_cast<const TIdAttachment*>(&part)) {
            pane.AppendLine(Ansi(texts::kAttachment) + attachment->FileName +
                            (part.Unreadable ? unreadable : ""));
            attachments_.push_back(attachment->FileName);
            if (part.Unreadable) unreadable_.push_back(attachment->FileName);
        }
    }
}

Outcome MailboxActions::RunDelete(int message) {
    const std::string number = IntToStr(message);
    if (!RowOf(record_, message))
        return Refuse(FormatText(Ansi(texts::kDeleteRefusedNoScan), {number}), Outcome::Fault::Changed);
    bool changed = false;
    Outcome outcome = InSession([&] {
        message_.ClearAll();
        client_.LoadMessageHeader(message, message_);
        changed = HeaderChanged(message) || OtherMessage(message);
        if (changed) return;
        client_.DeleteMessage(message);
        Deleted(message, DeletionKind::Single);
    });
    if (outcome.IsDone() && changed)
        return Refuse(FormatText(Ansi(texts::kDeleteRefusedChanged), {number}), Outcome::Fault::Changed);
    return outcome;
}

void MailboxActions::RestoreRecord(ScanRecord record) {
    record_ = std::move(record);
    haveRecord_ = true;
}
