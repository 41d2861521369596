#pragma once
// Reader of one MIME part: its header lines up to the blank line, then its
// body, decoded by its transfer encoding, up to the next line of its
// boundary. Also reads, as one part, the whole body of a single-part message
// whose own transfer encoding is base64 or quoted-printable.
#include <optional>

#include "mime/message_decoder.h"

class TIdMessageDecoderMIME : public TIdMessageDecoder {
public:
    // For a boundary line of `message` (no pending line), or for the first
    // line of its encoded single-part body (that line pending).
    explicit TIdMessageDecoderMIME(TIdMessage& message,
                                   std::optional<std::string> pendingLine = std::nullopt);

    // A body line already read by the start recogniser, used before any
    // further line is read (an empty first line counts too).
    std::optional<std::string> PendingLine;
    // The message's own transfer encoding is in force: no part header is read.
    bool WholeBodyMode = false;
    // The boundary whose lines end this part (upper case, or empty).
    std::string PartBoundary;

    // In WholeBodyMode: classifies by the message's own Content-Type and
    // Content-Disposition, reading nothing. Otherwise reads header lines up to
    // the blank line, unfolding continuations and storing "Name: value" as
    // "Name=value"; a nested multipart's boundary is pushed and becomes
    // PartBoundary (unless the boundary stack is full: its lines are then
    // plain lines). The "." line inside the header leaves PartType
    // PartUnknown. Throws what ReadSourceLine throws, and EIdHeaderTooLarge
    // past the bounds of HeaderBlockLimit.
    void ReadPartHeader() override;

    // Decodes lines onto `destination` until "." (sets `endOfMessage`), a
    // line of PartBoundary (returns the next part's decoder) or its closing
    // line (pops the boundary stack, returns none). A base64 line of a length
    // that is not a multiple of 4 (some mailers cut lines anywhere) gives its
    // whole groups of 4, sets PartUnreadable, and the part's later lines are
    // read but not decoded: they would decode shifted. Throws ReadSourceLine's
    // errors.
    std::unique_ptr<TIdMessageDecoder> ReadPartBody(std::ostream& destination, bool& endOfMessage) override;

    // Text or attachment, and the attachment's file name: from the
    // disposition's filename parameter, else the content type's name
    // parameter; in the extended form (charset, pieces) converted to
    // Windows-1252, else unquoted and its encoded words decoded.
    void ClassifyPart(std::string_view contentType, std::string_view contentDisposition);

private:
    void AddHeaderLine(const std::string& line);
    std::string NextLine();
};

// Whether the message's own transfer encoding makes its body one decoded part.
bool IsWholeBodyEncoding(std::string_view transferEncoding);
