#pragma once
// One e-mail message: the properties taken from its header, the raw header
// lines, the body lines and the decoded parts. The screener keeps one and
// reuses it: ClearAll, a fetch fills HeaderLines and calls ParseHeaderLines,
// body reception fills Body and Parts.
#include <bitset>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "message/email_address_list.h"
#include "message/header_list.h"
#include "message/message_parts.h"
#include "message/mime_boundary.h"
#include "platform/component.h"
#include "platform/date_time.h"
#include "platform/string_list.h"

enum TIdMessageEncoding { meMIME, meUU };
enum TIdMessagePriority { mpHighest, mpHigh, mpNormal, mpLow, mpLowest };
// Send side: how the header text is transferred.
enum TTransfer { bit7, bit8, iso2022jp };
enum TIdMessageFlags { mfAnswered, mfFlagged, mfDeleted, mfDraft, mfSeen, mfRecent };
using TIdMessageFlagsSet = std::bitset<6>;

class TIdMessage;
// Send side: may change the transfer kind, the header encoding letter and the charset.
using TIdInitializeIsoEvent =
    std::function<void(TIdMessage& sender, TTransfer& transfer, char& headerEncoding, std::string& charSet)>;

class TIdMessage : public TIdBaseComponent {
public:
    // Everything empty, Encoding meMIME, AttachmentEncoding "MIME".
    TIdMessage();

    // --- Published properties, in declared order ---
    // Send side, kept in Parts. Throws as TIdMessageParts::SetAttachmentEncoding.
    const std::string& AttachmentEncoding() const { return Parts.AttachmentEncoding(); }
    void SetAttachmentEncoding(std::string_view name) { Parts.SetAttachmentEncoding(name); }
    TStringList Body;  // text outside parts
    void SetBody(const TStringList& lines) { Body.Assign(lines); }
    TIdEMailAddressList BccList;  // never filled on receive
    std::string CharSet;
    TIdEMailAddressList CCList;
    std::string ContentType;
    std::string ContentTransferEncoding;
    std::string ContentDisposition;
    TDateTime Date = 0;  // local time; 0 for none
    TIdMessageEncoding Encoding() const { return encoding_; }
    // Also sets AttachmentEncoding: "UUE" for meUU, "MIME" for meMIME.
    void SetEncoding(TIdMessageEncoding value);
    TIdHeaderList ExtraHeaders;  // send side
    void SetExtraHeaders(const TStringList& lines) { ExtraHeaders.Assign(lines); }
    TIdEMailAddressItem From;
    TStringList NewsGroups;
    void SetNewsGroups(const TStringList& lines) { NewsGroups.Assign(lines); }
    bool NoEncode = false;
    // True: body reception captures plain lines, without part decoding.
    bool NoDecode = false;
    std::string Organization;
    TIdMessagePriority Priority = mpNormal;
    TIdEMailAddressItem ReceiptRecipient;
    TIdEMailAddressList Recipients;
    std::string References;
    TIdEMailAddressList ReplyTo;
    std::string Subject;
    TIdEMailAddressItem Sender;
    // True when Date is 0. Writing true sets Date to 0; writing false gives a
    // zero Date the current time, so that it reads false afterwards.
    bool UseNowForDate() const { return Date == 0; }
    void SetUseNowForDate(bool value);
    TIdInitializeIsoEvent OnInitializeISO;

    // --- Not published ---
    TIdHeaderList HeaderLines;  // the raw header lines as received
    std::string MessageId;
    TIdMessageParts Parts;
    TIdMIMEBoundary BoundaryStack;
    TIdMessageFlagsSet MessageFlags;

    // Send side: raises OnInitializeISO when assigned.
    virtual void NotifyInitializeIso(TTransfer& transfer, char& headerEncoding, std::string& charSet);
    // ClearHeaderFields, then ClearContent.
    virtual void ClearAll();
    // Empties every header property, HeaderLines, ExtraHeaders and the boundary
    // stack and HeaderFault; leaves MessageId, NoDecode, NoEncode, Encoding,
    // AttachmentEncoding, ReadPastHeaderFaults.
    void ClearHeaderFields();
    // Destroys the parts (their files stay), then empties Body.
    void ClearContent();

    // Fills the properties from HeaderLines, in a fixed order; assumes they were
    // cleared. Throws EIdEmailParseError (From, To, Cc, receipt, Reply-To,
    // Sender), EConvertError (a bad Q escape in an encoded word) and
    // EIdFailedToRetreiveTimeZoneInfo (Date): the steps done before keep
    // their values, the later ones their cleared values.
    void ParseHeaderLines();
    // With ReadPastHeaderFaults, a field ParseHeaderLines cannot read (an
    // address or encoded-word error) keeps what it read so far, its error
    // text goes to HeaderFault (the first one), and the parse goes on: the
    // rest of the message is still read. A header line too long to read is
    // dropped the same way on reception. ClearAll leaves the switch and
    // empties HeaderFault.
    bool ReadPastHeaderFaults = false;
    std::string HeaderFault;

    // Send side: a new header list for this message, which the caller owns.
    // Throws EIdMessageException for meUU with text or related parts, and
    // whatever the address and date formatting throw.
    std::unique_ptr<TIdHeaderList> BuildHeaderLines();

    // The charset parameter of a content type, upper-cased and untrimmed: up to
    // the closing quote when quoted, else up to the first ";". Empty without one.
    static std::string CharsetFromContentType(std::string_view contentType);
    // A Priority or X-Priority value: "urgent" anywhere gives mpHigh,
    // "non-priority" mpLow; else the first word as a number 1..5 (3 when it is
    // not a number; nearer end of the scale when outside 1..5).
    static TIdMessagePriority PriorityFromText(std::string_view value);
    // A Newsgroups value cut at commas (a comma after exactly one double quote
    // in its segment does not cut), segments trimmed, empty ones dropped.
    static TStringList SplitNewsGroups(std::string_view value);

private:
    TIdMessageEncoding encoding_ = meMIME;
};
