#include "app/preview_lines.h"

#include "app/texts.h"
#include "message/message_part.h"
#include "platform/control_characters.h"
#include "platform/text.h"

namespace {

bool IsHtml(std::string_view contentType) { return LowerCase(Trim(contentType)).rfind("text/html", 0) == 0; }

}  // namespace

void AppendPreviewLines(const TIdMessage& message, PreviewPane& pane, std::vector<std::string>& attachments,
                        std::vector<std::string>* unreadable) {
    attachments.clear();
    if (unreadable) unreadable->clear();
    const std::string mark = " (" + std::string(texts::kUnreadablePart) + ")";
    const auto note = [&](std::string name) {
        if (unreadable) unreadable->push_back(std::move(name));
    };
    // Header text shows as the grid shows it: nothing in it turns the line around.
    if (message.HeaderFault.empty()) {
        pane.AppendLine(WithoutControls(message.From.Text()));
        pane.AppendLine(WithoutControls(message.Recipients.AsText()));
    } else {
        // Its sender and recipients could not be read: the header as
        // received, its 8-bit bytes read as those of a readable field.
        for (const std::string& line : message.HeaderLines.Lines())
            pane.AppendLine(WithoutControls(UnlabelledToUtf8(line)));
        pane.AppendLine("");
    }
    pane.AppendLine(std::string(texts::kPartCount) + IntToStr(message.Parts.Count()));
    // For a reader: HTML as the text it reads as, left out where a plain
    // text part says the same.
    const bool reader = pane.ShowsHtmlAsText();
    bool plainPart = false;
    for (int i = 0; i < message.Parts.Count(); ++i)
        if (const auto* text = dynamic_cast<const TIdText*>(&message.Parts[i]))
            plainPart = plainPart || !IsHtml(text->ContentType());
    const auto append = [&](const std::vector<std::string>& lines, bool html) {
        if (reader && html && plainPart) return;
        for (const std::string& line : reader&& html ? pane.HtmlAsText(lines) : lines) pane.AppendLine(line);
    };
    append(message.Body.Lines(), IsHtml(message.ContentType) && message.Parts.Count() == 0);
    for (int i = 0; i < message.Parts.Count(); ++i) {
        const TIdMessagePart& part = message.Parts[i];
        if (const auto* text = dynamic_cast<const TIdText*>(&part)) {
            append(text->Body.Lines(), IsHtml(text->ContentType()));
            if (part.Unreadable) {
                pane.AppendLine(mark.substr(1));
                note(std::string(texts::kUnreadableText));
            }
        } else if (const auto* attachment = dynamic_cast<const TIdAttachment*>(&part)) {
            pane.AppendLine(std::string(texts::kAttachment) + attachment->FileName +
                            (part.Unreadable ? mark : ""));
            attachments.push_back(attachment->FileName);
            if (part.Unreadable) note(attachment->FileName);
        }
    }
}
