#pragma once
// An output stream that keeps decoded text as lines while it is written, so
// that a text part never exists twice in memory (as bytes and as lines).
// A line ends at CR LF, at a lone CR or at a lone LF, also when the CR and
// the LF arrive in separate writes; a line end at the very end adds no empty
// line; the text ends at its first zero byte (what follows is dropped).
// Given a charset whose lines are bytes, each line is converted from it to
// UTF-8, or given a conversion, by it; without either, lines are UTF-8 already.
// Given a budget, lines are kept while it lasts: the line that overflows it
// keeps its beginning and the rest of the text is dropped.
#include <functional>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>

#include "mime/text_budget.h"
#include "platform/charset.h"
#include "platform/string_list.h"

// Turns one line of bytes into the line kept.
using LineConversion = std::function<std::string(std::string_view line)>;

class TextLinesBuf : public std::streambuf {
public:
    explicit TextLinesBuf(TStringList& lines, std::optional<Charset> charset = std::nullopt,
                          TextBudget* budget = nullptr)
        : lines_(lines), charset_(charset), budget_(budget) {}
    TextLinesBuf(TStringList& lines, LineConversion convert, TextBudget* budget)
        : lines_(lines), convert_(std::move(convert)), budget_(budget) {}
    // Adds the last line when it has no line end. Call once, after the last write.
    void Finish();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;

private:
    void AddLine();
    void Append(std::string_view piece);
    void Keep();

    TStringList& lines_;
    std::optional<Charset> charset_;
    LineConversion convert_;
    TextBudget* budget_;
    std::string line_;
    bool afterCr_ = false;
    bool ended_ = false;
};

class TextLinesStream : public std::ostream {
public:
    explicit TextLinesStream(TStringList& lines, std::optional<Charset> charset = std::nullopt,
                             TextBudget* budget = nullptr)
        : std::ostream(&buf_), buf_(lines, charset, budget) {}
    TextLinesStream(TStringList& lines, LineConversion convert, TextBudget* budget)
        : std::ostream(&buf_), buf_(lines, std::move(convert), budget) {}
    void Finish() { buf_.Finish(); }

private:
    TextLinesBuf buf_;
};
