// Header block to message properties.
#include <cstdint>

#include "message/header_coder.h"
#include "message/internet_date.h"
#include "message/message.h"
#include "message/sender_addresses.h"
#include "platform/text.h"

void TIdMessage::ParseHeaderLines() {
    // Raw 8-bit values: UTF-8 when well-formed, else Windows-1252.
    auto value = [this](std::string_view name) { return UnlabelledToUtf8(HeaderLines.ValueOf(name)); };
    // A field the parse refuses ends it, unless the caller asked to read on.
    auto field = [this](const auto& step) {
        try {
            step();
        } catch (const EIdException& e) {  // an address or encoded-word error
            if (!ReadPastHeaderFaults) throw;
            if (HeaderFault.empty()) HeaderFault = e.Message();
        }
    };
    ContentType = value("Content-Type");
    CharSet = CharsetFromContentType(ContentType);
    ContentTransferEncoding = value("Content-Transfer-Encoding");
    ContentDisposition = value("Content-Disposition");
    field([&] { Subject = DecodeHeaderWords(value("Subject")); });
    field([&] { SetSender(From, DecodeHeaderWords(value("From"))); });
    MessageId = value("Message-Id");
    NewsGroups = SplitNewsGroups(value("Newsgroups"));
    field([&] { Recipients.AssignText(DecodeHeaderWords(value("To"))); });
    field([&] { CCList.AssignText(DecodeHeaderWords(value("Cc"))); });
    Organization = value("Organization");
    field([&] {
        ReceiptRecipient.SetText(value("Disposition-Notification-To"));
        if (ReceiptRecipient.Text().empty()) ReceiptRecipient.SetText(value("Return-Receipt-To"));
    });
    References = value("References");
    field([&] { ReplyTo.AssignText(value("Reply-To")); });
    Date = InternetDateToLocal(value("Date"));
    field([&] { Sender.SetText(value("Sender")); });
    std::string priority = value("Priority");
    Priority = PriorityFromText(priority.empty() ? value("X-Priority") : priority);
    BoundaryStack.PushBoundary(TIdMIMEBoundary::BoundaryFromContentType(ContentType));
}

std::string TIdMessage::CharsetFromContentType(std::string_view contentType) {
    std::string s = UpperCase(contentType);
    std::size_t at = s.find("CHARSET=");
    if (at == std::string::npos) return {};
    s.erase(0, at + 8);
    if (!s.empty() && s.front() == '"') return s.substr(1, s.find('"', 1) - 1);
    return s.substr(0, s.find(';'));
}

TIdMessagePriority TIdMessage::PriorityFromText(std::string_view value) {
    std::string lower = LowerCase(value);
    if (lower.find("urgent") != std::string::npos) return mpHigh;
    if (lower.find("non-priority") != std::string::npos) return mpLow;
    std::string word = Trim(PeekSplitAt(Trim(value), " "));
    std::int64_t n = TryStrToInt(word).value_or(3);
    // A number outside 1..5 takes the nearest priority.
    if (n < 1) n = 1;
    if (n > 5) n = 5;
    return static_cast<TIdMessagePriority>(n - 1);
}

TStringList TIdMessage::SplitNewsGroups(std::string_view value) {
    TStringList groups;
    auto add = [&groups](std::string_view segment) {
        std::string group = Trim(segment);
        if (!group.empty()) groups.Add(std::move(group));
    };
    std::size_t start = 0;
    int quotes = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '"') ++quotes;
        if (value[i] != ',' || quotes == 1) continue;
        add(value.substr(start, i - start));
        start = i + 1;
        quotes = 0;
    }
    add(value.substr(start));
    return groups;
}
