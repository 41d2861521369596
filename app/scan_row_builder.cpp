#include "app/scan_row_builder.h"

#include <optional>

#include "app/texts.h"
#include "message/email_address.h"
#include "message/header_coder.h"
#include "message/sender_addresses.h"
#include "platform/control_characters.h"
#include "platform/text.h"
#include "platform/text_format.h"

namespace {

// `read` of the header's value, or nullopt with the cause noted in the row.
template <typename Read>
auto Tolerated(ScanRow& row, std::string_view header, Read read) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const EIdException& e) {
        if (row.fault.empty())
            row.fault =
                FormatText(std::string(texts::kUnreadableHeader), {header, WithoutControls(e.Message())});
        return std::nullopt;
    }
}

void ReadSender(ScanRow& row, const std::string& received) {
    std::optional<std::string> decoded = Tolerated(row, "From", [&] { return DecodeHeaderWords(received); });
    row.senders = SenderAddresses(decoded ? *decoded : received);
    if (decoded) {
        TIdEMailAddressItem from;
        const bool parsed = Tolerated(row, "From", [&] {
                                SetSender(from, *decoded);
                                return true;
                            }).has_value();
        if (parsed) {
            row.name = std::move(from.Name);
            row.address = std::move(from.Address);
            return;
        }
    }
    row.unreadSender = WithoutControls(received);
    if (!row.senders.empty()) row.address = row.senders.front();
}

}  // namespace

ScanRow ScanRowFromHeader(int number, const TIdHeaderList& header, TDateTime localOffset,
                          std::string_view readFault, const ResultService& service) {
    ScanRow row;
    row.number = number;
    row.fault = readFault;
    row.date = ReadMessageDate(header.ValueOf("Date"), localOffset);
    // Raw 8-bit values as the message reads them, so a field shown as
    // received keeps its accents.
    ReadSender(row, UnlabelledToUtf8(header.ValueOf("From")));
    const std::string subject = UnlabelledToUtf8(header.ValueOf("Subject"));
    std::optional<std::string> decoded =
        Tolerated(row, "Subject", [&] { return DecodeHeaderWords(subject); });
    row.subject = decoded ? std::move(*decoded) : WithoutControls(subject);
    row.headerDigest = HeaderDigest(header.Lines());
    if (const std::optional<AuthResults> results = TrustedResults(header, service)) {
        const std::size_t at = row.address.rfind('@');
        row.authentication =
            Alignment(results, at == std::string::npos ? std::string_view()
                                                       : std::string_view(row.address).substr(at + 1));
        row.verdict = VerdictText(*results);
    }
    return row;
}
