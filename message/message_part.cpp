#include "message/message_part.h"

#include <typeinfo>

#include "message/message_errors.h"

TIdMessagePart::TIdMessagePart() { throw EIdCanNotCreateMessagePart(); }

void TIdMessagePart::Assign(const TIdMessagePart& source) {
    if (typeid(source) != typeid(*this))
        throw EConvertError(std::string(message_text::kCannotAssign) + source.ClassName() +
                            std::string(" à un ") + ClassName() + ".");
    SetContentTransfer(source.ContentTransfer());
    SetContentType(source.ContentType());
    extraHeaders_.Assign(source.extraHeaders_);
}

void TIdText::Assign(const TIdMessagePart& source) {
    TIdMessagePart::Assign(source);
    Body = static_cast<const TIdText&>(source).Body;
}

TIdAttachment::TIdAttachment(std::string_view path) : TIdMessagePart(Derived{}), StoredPathName(path) {
    std::size_t cut = path.find_last_of("/\\:");
    FileName = path.substr(cut == std::string_view::npos ? 0 : cut + 1);
}

void TIdAttachment::Assign(const TIdMessagePart& source) {
    TIdMessagePart::Assign(source);
    const auto& attachment = static_cast<const TIdAttachment&>(source);
    SetContentDisposition(attachment.ContentDisposition());
    FileName = attachment.FileName;
}

std::string TIdAttachment::SafeFileName(std::string_view name) {
    std::string safe(name);
    for (char& c : safe)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32 || c == 127) c = '_';
    return safe;
}
