#pragma once
// The text of an attached message (a message/rfc822 part) line by line, each
// line converted from the charset of the part of that message it belongs to:
// its header lines and boundary lines as undeclared text, the lines of each
// body from the charset its own Content-Type declares, at any depth of
// multipart nesting inside it.
#include <string>
#include <string_view>
#include <vector>

#include "platform/charset.h"

class AttachedMessageText {
public:
    // `line` (without its line end) as UTF-8. Never throws (but std::bad_alloc).
    std::string Convert(std::string_view line);

private:
    void EndOfHeader();
    bool IsBoundaryLine(std::string_view line, bool& closing) const;

    bool inHeader_ = true;
    bool inContentType_ = false;  // the last header line was Content-Type or its continuation
    std::string contentType_;
    std::vector<std::string> boundaries_;
    Charset body_ = Charset::ForText("");
};

// Whether a part of this Content-Type is a whole message (message/rfc822).
bool IsAttachedMessage(std::string_view contentType);
