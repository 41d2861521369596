#include "net/rfc_reply.h"

#include "platform/charset.h"
#include "platform/text.h"

void TIdRFCReply::SetNumericCode(int code) {
    numericCode_ = code;
    if (code > 0) textCode_ = IntToStr(code);
}

void TIdRFCReply::SetTextCode(std::string code) {
    textCode_ = std::move(code);
    if (!textCode_.empty()) numericCode_ = StrToIntDef(textCode_, 0);
}

void TIdRFCReply::Clear() {
    numericCode_ = 0;
    Text.Clear();
    textCode_.clear();
}

void TIdRFCReply::ParseLines(const std::vector<std::string>& lines) {
    Clear();
    if (lines.empty()) return;
    std::string code = Trim(Copy(lines.front(), 1, 4));
    if (code.size() == 4 && code.back() == '-') code.pop_back();
    SetTextCode(std::move(code));
    for (const std::string& line : lines) Text.Add(Copy(line, 5));
}

std::string TIdRFCReply::ReplyText() const { return Text.Text(); }

std::string TIdRFCReply::ShownText() const { return Charset::ForText("").ToUtf8(ReplyText()); }
