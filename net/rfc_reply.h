#pragma once
// A server reply: its code and its lines of text. The connection keeps the
// last one read (LastReply).
#include <string>
#include <vector>

#include "platform/string_list.h"

class TIdRFCReply {
public:
    int NumericCode() const { return numericCode_; }
    // A value above 0 also becomes TextCode's digits.
    void SetNumericCode(int code);
    const std::string& TextCode() const { return textCode_; }
    // A non-empty code also sets NumericCode to its integer value, or 0.
    void SetTextCode(std::string code);

    // One entry per reply line: the line from its fifth character on.
    TStringList Text;

    void Clear();
    // Fills the record from the raw reply lines: the code is the first four
    // characters of the first line, trimmed, without a final "-" of a
    // numbered continuation; never throws.
    void ParseLines(const std::vector<std::string>& lines);
    // Every Text entry followed by CR LF.
    std::string ReplyText() const;
    // ReplyText as text for the user: a server may write 8-bit bytes in any
    // charset, read as UTF-8 when they are valid UTF-8, else as Windows-1252.
    std::string ShownText() const;

private:
    int numericCode_ = 0;
    std::string textCode_;
};
