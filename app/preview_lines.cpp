#include "app/preview_lines.h"

#include "app/texts.h"
#include "message/message_part.h"
#include "platform/text.h"

void AppendPreviewLines(const TIdMessage& message, PreviewPane& pane, std::vector<std::string>& attachments) {
    attachments.clear();
    if (message.HeaderFault.empty()) {
        pane.AppendLine(message.From.Text());
        pane.AppendLine(message.Recipients.AsText());
    } else {
        // Its sender and recipients could not be read: the header as received.
        for (const std::string& line : message.HeaderLines.Lines()) pane.AppendLine(line);
        pane.AppendLine("");
    }
    pane.AppendLine(Ansi(texts::kPartCount) + IntToStr(message.Parts.Count()));
    for (const std::string& line : message.Body.Lines()) pane.AppendLine(line);
    for (int i = 0; i < message.Parts.Count(); ++i) {
        const TIdMessagePart& part = message.Parts[i];
        if (const auto* text = dynamic_cast<const TIdText*>(&part)) {
            for (const std::string& line : text->Body.Lines()) pane.AppendLine(line);
        } else if (const auto* attachment = dynamic_cast<const TIdAttachment*>(&part)) {
            pane.AppendLine(Ansi(texts::kAttachment) + attachment->FileName);
            attachments.push_back(attachment->FileName);
        }
    }
}
