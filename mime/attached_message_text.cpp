#include "mime/attached_message_text.h"

#include "message/message.h"
#include "message/mime_boundary.h"
#include "mime/message_decoder.h"
#include "platform/text.h"

namespace {

constexpr std::string_view kContentType = "content-type:";

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

bool IsAttachedMessage(std::string_view contentType) {
    return StartsWithIgnoringCase(Trim(contentType), "message/rfc822");
}

std::string AttachedMessageText::Convert(std::string_view line) {
    if (inHeader_) {
        if (line.empty()) {
            EndOfHeader();
        } else if (line.front() == ' ' || line.front() == '\t') {
            if (inContentType_) contentType_ += std::string(line);
        } else {
            inContentType_ = StartsWithIgnoringCase(line, kContentType);
            if (inContentType_) contentType_ = std::string(line.substr(kContentType.size()));
        }
        return UnlabelledToUtf8(line);
    }
    bool closing = false;
    if (IsBoundaryLine(line, closing)) {
        // A closing boundary leaves the epilogue, in no declared charset.
        inHeader_ = !closing;
        if (closing) body_ = Charset::ForText("");
        return std::string(line);
    }
    return body_.ToUtf8(line);
}

void AttachedMessageText::EndOfHeader() {
    inHeader_ = false;
    inContentType_ = false;
    body_ = Charset::ForText(TIdMessage::CharsetFromContentType(contentType_));
    const std::string boundary = TIdMIMEBoundary::BoundaryFromContentType(contentType_);
    if (!boundary.empty() && boundaries_.size() < static_cast<std::size_t>(TIdMIMEBoundary::kMaxDepth))
        boundaries_.push_back(boundary);
    contentType_.clear();
}

bool AttachedMessageText::IsBoundaryLine(std::string_view line, bool& closing) const {
    if (!line.starts_with("--")) return false;
    for (const std::string& boundary : boundaries_) {
        const std::string open = "--" + boundary;
        if (EqualsIgnoringCase(line, open)) return true;
        if (EqualsIgnoringCase(line, open + "--")) return closing = true;
    }
    return false;
}
