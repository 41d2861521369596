#pragma once
// The parts of one message, in the order they were added; the collection owns
// them. Clearing it destroys the parts but not the files attachments name.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "message/message_part.h"

class TIdMessageParts {
public:
    TIdMessageParts() = default;
    TIdMessageParts(const TIdMessageParts&) = delete;
    TIdMessageParts& operator=(const TIdMessageParts&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // Part at `index` (from 0); throws EListError outside 0..Count()-1.
    TIdMessagePart& Items(int index);
    const TIdMessagePart& Items(int index) const;
    TIdMessagePart& operator[](int index) { return Items(index); }
    const TIdMessagePart& operator[](int index) const { return Items(index); }

    // Appends a part of the collection's item class, the abstract base:
    // always throws EIdCanNotCreateMessagePart and adds nothing.
    TIdMessagePart& Add();
    // Appends a new text part, with a copy of `lines` as its Body when given.
    TIdText& AddText();
    TIdText& AddText(const TStringList& lines);
    // Appends a new attachment stored at `path` (see TIdAttachment).
    TIdAttachment& AddAttachment(std::string_view path = {});
    // Destroys every part.
    void Clear() { items_.clear(); }

    // Send side: name of the registered message encoder for attachments,
    // "MIME" at first. Setting a name with no registered encoder ("MIME",
    // "UUE" and "XXE" are) throws EIdException "Encodeur de message non
    // trouvé: <name>" and keeps the old name.
    const std::string& AttachmentEncoding() const { return attachmentEncoding_; }
    void SetAttachmentEncoding(std::string_view name);

    // Send side: counts text parts, attachments, and attachments whose
    // ExtraHeaders carry a non-empty "Content-ID" (related parts).
    void CountParts();
    int TextPartCount() const { return textPartCount_; }
    int AttachmentCount() const { return attachmentCount_; }
    int RelatedPartCount() const { return relatedPartCount_; }

private:
    template <class Part, class... Args>
    Part& Append(Args&&... args);

    std::vector<std::unique_ptr<TIdMessagePart>> items_;
    std::string attachmentEncoding_ = "MIME";
    int textPartCount_ = 0;
    int attachmentCount_ = 0;
    int relatedPartCount_ = 0;
};
