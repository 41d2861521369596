#pragma once
// The process-wide registry of part-start recognisers. Body reception asks
// it, for each plain body line, whether the line starts a part: an inline
// UUE/XXE attachment ("begin" line) or a MIME part (boundary line, or the
// first line of an encoded single-part body). Filled once, with "UUE" then
// "MIME", before any reception; read-only afterwards.
#include <memory>
#include <string>
#include <string_view>

#include "mime/message_decoder.h"

class TIdMessageDecoderInfo {
public:
    virtual ~TIdMessageDecoderInfo() = default;
    // A new decoder when `line` starts a part of `message`, else none.
    virtual std::unique_ptr<TIdMessageDecoder> RecognizeStart(TIdMessage& message,
                                                              const std::string& line) = 0;
};

// "begin", a blank, a three-character mode above 0, a blank, the file name.
class TIdMessageDecoderInfoUUE : public TIdMessageDecoderInfo {
public:
    std::unique_ptr<TIdMessageDecoder> RecognizeStart(TIdMessage& message, const std::string& line) override;
};

// "--" and the current boundary (ignoring case); or any line of a message
// whose own transfer encoding is base64 or quoted-printable, kept as the
// part's first body line.
class TIdMessageDecoderInfoMIME : public TIdMessageDecoderInfo {
public:
    std::unique_ptr<TIdMessageDecoder> RecognizeStart(TIdMessage& message, const std::string& line) override;
};

class TIdMessageDecoderList {
public:
    // Appends a recogniser under `name`; the registry owns it.
    // The decoder of the first recogniser, in registration order, that
    // recognises `line`; none when no recogniser does.
    static std::unique_ptr<TIdMessageDecoder> FindDecoder(TIdMessage& message, const std::string& line);
    // Names in registration order.
    static std::string Names();
};
