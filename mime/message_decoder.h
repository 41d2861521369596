#pragma once
// Reader of one part of a message being received: the part's header lines,
// then its body decoded onto a stream. A decoder is made by a start
// recogniser (or by the previous part's ReadPartBody), is given its source of
// lines, runs ReadPartHeader then ReadPartBody once, and is then destroyed.
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>

#include "net/tcp_stream.h"
#include "platform/component.h"
#include "platform/string_list.h"

class TIdMessage;

// Where a decoder reads its lines from: the connection during reception, or
// any other byte stream.
using TIdSourceStream =
    std::variant<std::monostate, std::unique_ptr<TIdTCPStream>, std::unique_ptr<std::istream>>;

enum TIdMessageDecoderPartType { PartUnknown, PartText, PartAttachment };

class TIdMessageDecoder : public TIdBaseComponent {
public:
    explicit TIdMessageDecoder(TIdMessage& message) : Message(message) {}

    // The attachment's file name as the message gives it; empty for text.
    std::string FileName;
    // The part's header lines, each stored as name "=" value.
    TStringList PartHeaders;
    TIdMessageDecoderPartType PartType = PartUnknown;
    // Set by ReadPartBody when the part's encoding broke off and only what
    // decoded before was written.
    bool PartUnreadable = false;
    // Where lines come from; owned. During reception it is a TIdTCPStream.
    TIdSourceStream SourceStream;

    // Value of the first PartHeaders line whose name (the text before its
    // first "=") matches `name` ignoring case; empty when there is none.
    std::string PartHeaderValue(std::string_view name) const;

    // Next line of SourceStream without its line end. On a TIdTCPStream it is
    // one ReadLine of the connection (which throws as ReadLine does). On any
    // other stream the line ends at LF, CR, or CR LF met within one chunk of
    // 2048 bytes; the stream is left just after the line end; at the end of
    // the stream the result is empty. Without a source the result is empty.
    std::string ReadSourceLine();

    // Writes the part's decoded bytes to `destination`; sets `endOfMessage`
    // when the message's "." line ends the part. Returns the decoder of the
    // next part, or none.
    virtual std::unique_ptr<TIdMessageDecoder> ReadPartBody(std::ostream& destination,
                                                            bool& endOfMessage) = 0;
    // Reads the part's header; sets PartType (and FileName for attachments).
    virtual void ReadPartHeader() {}

protected:
    TIdMessage& Message;

private:
    std::string ReadStreamLine(std::istream& stream);
};

// Whole texts equal ignoring case (locale-aware, as every name and boundary
// comparison of reception).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
