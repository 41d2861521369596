// Send side: the header lines of an outgoing message.
#include "message/header_encoder.h"
#include "message/internet_date.h"
#include "message/message.h"
#include "message/message_errors.h"
#include "platform/text.h"

namespace {

// What the X-Library header says about the program that wrote the message.
constexpr std::string_view kLibraryIdentification = "Vannoir";

std::string CommaText(const TStringList& lines) {
    std::string text;
    for (const std::string& line : lines.Lines()) text += (text.empty() ? "" : ",") + line;
    return text;
}

}  // namespace

std::unique_ptr<TIdHeaderList> TIdMessage::BuildHeaderLines() {
    Parts.CountParts();
    if (encoding_ == meUU && (Parts.TextPartCount() > 0 || Parts.RelatedPartCount() > 0))
        throw EIdMessageException();
    if (encoding_ == meMIME && !CharSet.empty()) {
        std::string parameter = "charset=\"" + CharSet + "\"";
        ContentType = ContentType.empty() ? parameter : ContentType + ";\r\n\t" + parameter;
    }
    const HeaderEncodingDefaults defaults = SystemHeaderEncoding();
    TTransfer transfer = defaults.Iso2022JpTransfer ? iso2022jp : bit8;
    char headerEncoding = defaults.HeaderEncoding;
    std::string charSet = defaults.CharSet;
    NotifyInitializeIso(transfer, headerEncoding, charSet);

    auto lines = std::make_unique<TIdHeaderList>();
    lines->Assign(HeaderLines);
    lines->SetValueOf("From", EncodeAddressItem(From, headerEncoding, charSet));
    lines->SetValueOf("Subject", EncodeHeader(Subject, headerEncoding, charSet));
    lines->SetValueOf("To", EncodeAddress(Recipients, headerEncoding, charSet));
    lines->SetValueOf("Cc", EncodeAddress(CCList, headerEncoding, charSet));
    lines->SetValueOf("Newsgroups", CommaText(NewsGroups));
    if (encoding_ == meMIME) {
        lines->SetValueOf("Content-Type", ContentType);
        if (Parts.Count() > 0) lines->SetValueOf("MIME-Version", "1.0");
        lines->SetValueOf("Content-Transfer-Encoding", ContentTransferEncoding);
    }
    lines->SetValueOf("Sender", Sender.Text());
    lines->SetValueOf("Reply-To", ReplyTo.AsText());
    lines->SetValueOf("Organization", Organization);
    lines->SetValueOf("Disposition-Notification-To",
                      EncodeAddressItem(ReceiptRecipient, headerEncoding, charSet));
    lines->SetValueOf("References", References);
    lines->SetValueOf("Date", FormatInternetDate(UseNowForDate() ? Now() : Date));
    lines->SetValueOf("X-Priority", IntToStr(Priority + 1));
    lines->SetValueOf("X-Library", kLibraryIdentification);
    lines->AddStrings(ExtraHeaders);
    return lines;
}
