#include "message/message.h"

TIdMessage::TIdMessage() {
    ClearAll();
    encoding_ = meMIME;  // stored directly: AttachmentEncoding keeps its own start value
}

void TIdMessage::SetEncoding(TIdMessageEncoding value) {
    encoding_ = value;
    SetAttachmentEncoding(value == meUU ? "UUE" : "MIME");
}

void TIdMessage::SetUseNowForDate(bool value) {
    if (value)
        Date = 0;
    else if (Date == 0)
        Date = Now();
}

void TIdMessage::NotifyInitializeIso(TTransfer& transfer, char& headerEncoding, std::string& charSet) {
    if (OnInitializeISO) OnInitializeISO(*this, transfer, headerEncoding, charSet);
}

void TIdMessage::ClearAll() {
    ClearHeaderFields();
    ClearContent();
}

void TIdMessage::ClearHeaderFields() {
    CCList.Clear();
    BccList.Clear();
    Date = 0;
    From.SetText("");
    NewsGroups.Clear();
    Organization.clear();
    References.clear();
    ReplyTo.Clear();
    Subject.clear();
    Recipients.Clear();
    Priority = mpNormal;
    ReceiptRecipient.SetText("");
    ContentType.clear();
    CharSet.clear();
    ContentTransferEncoding.clear();
    ContentDisposition.clear();
    Sender.SetText("");
    HeaderLines.Clear();
    HeaderFault.clear();
    ExtraHeaders.Clear();
    BoundaryStack.ClearBoundaries();
    SetUseNowForDate(true);
    MessageFlags.reset();
}

void TIdMessage::ClearContent() {
    Parts.Clear();
    Body.Clear();
}
