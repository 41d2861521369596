#include "message/message_parts.h"

#include <array>

#include "message/message_errors.h"
#include "platform/string_list.h"
#include "platform/text.h"

namespace {

// The message encoders registered at start-up.
constexpr std::array<std::string_view, 3> kMessageEncoders = {"MIME", "UUE", "XXE"};

}  // namespace

template <class Part, class... Args>
Part& TIdMessageParts::Append(Args&&... args) {
    auto part = std::make_unique<Part>(std::forward<Args>(args)...);
    Part& added = *part;
    items_.push_back(std::move(part));
    return added;
}

TIdMessagePart& TIdMessageParts::Items(int index) {
    if (index < 0 || index >= Count()) throw EListError(index);
    return *items_[static_cast<std::size_t>(index)];
}

const TIdMessagePart& TIdMessageParts::Items(int index) const {
    return const_cast<TIdMessageParts*>(this)->Items(index);
}

TIdMessagePart& TIdMessageParts::Add() { return Append<TIdMessagePart>(); }
TIdText& TIdMessageParts::AddText() { return Append<TIdText>(); }
TIdText& TIdMessageParts::AddText(const TStringList& lines) { return Append<TIdText>(lines); }
TIdAttachment& TIdMessageParts::AddAttachment(std::string_view path) { return Append<TIdAttachment>(path); }

void TIdMessageParts::SetAttachmentEncoding(std::string_view name) {
    for (std::string_view known : kMessageEncoders) {
        if (SameText(known, name)) {
            attachmentEncoding_ = name;
            return;
        }
    }
    throw EIdMessageEncoderNotFound(std::string(message_text::kEncoderNotFound) + ": " + std::string(name));
}

void TIdMessageParts::CountParts() {
    textPartCount_ = attachmentCount_ = relatedPartCount_ = 0;
    for (const auto& part : items_) {
        if (dynamic_cast<const TIdText*>(part.get())) ++textPartCount_;
        if (dynamic_cast<const TIdAttachment*>(part.get())) {
            ++attachmentCount_;
            if (!part->ExtraHeaders().ValueOf("Content-ID").empty()) ++relatedPartCount_;
        }
    }
}
