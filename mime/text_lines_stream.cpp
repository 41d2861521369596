#include "mime/text_lines_stream.h"

#include <string_view>

void TextLinesBuf::Keep() {
    if (convert_)
        lines_.Add(convert_(line_));
    else
        lines_.Add(charset_ ? charset_->ToUtf8(line_) : std::move(line_));
}

void TextLinesBuf::AddLine() {
    if (budget_ && !budget_->Take(line_.size()))
        ended_ = true;
    else
        Keep();
    line_.clear();
}

void TextLinesBuf::Append(std::string_view piece) {
    if (!budget_ || budget_->Fits(line_.size() + piece.size())) {
        line_.append(piece);
        return;
    }
    // One line past the budget: its beginning is still worth showing.
    const std::size_t room = budget_->Room();
    if (room > line_.size()) line_.append(piece.substr(0, room - line_.size()));
    if (!line_.empty()) Keep();
    line_.clear();
    ended_ = true;
}

void TextLinesBuf::Finish() {
    if (!line_.empty()) AddLine();
    line_.clear();
    ended_ = true;
}

TextLinesBuf::int_type TextLinesBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    xsputn(&byte, 1);
    return c;
}

std::streamsize TextLinesBuf::xsputn(const char* bytes, std::streamsize count) {
    std::string_view rest(bytes, static_cast<std::size_t>(count));
    while (!ended_ && !rest.empty()) {
        // The LF of a CR LF split across two writes.
        if (afterCr_ && rest.front() == '\n') rest.remove_prefix(1);
        afterCr_ = false;
        const std::size_t stop = rest.find_first_of(std::string_view("\r\n\0", 3));
        Append(rest.substr(0, stop));
        if (ended_ || stop == std::string_view::npos) break;
        if (rest[stop] == '\0') {
            Finish();
            break;
        }
        AddLine();
        afterCr_ = rest[stop] == '\r';
        rest.remove_prefix(stop + 1);
    }
    return count;
}
