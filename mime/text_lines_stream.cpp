#include "mime/text_lines_stream.h"

#include <string_view>

void TextLinesBuf::AddLine() {
    lines_.Add(charset_ ? charset_->ToAnsi(line_) : std::move(line_));
    line_.clear();
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
        line_.append(rest.substr(0, stop));
        if (stop == std::string_view::npos) break;
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
