#pragma once
// Header lines of a message or a message part, kept exactly as received or
// written: one entry per physical line, continuation lines included. Values
// are looked up by name (first match, continuation lines joined) and written
// by name (long lines folded into continuation lines).
#include <string>
#include <string_view>
#include <vector>

#include "platform/string_list.h"

// Wraps `line` for folding: cuts after the last break character (outside
// double quotes, after the start of the current piece) once column `maxCol`
// has been passed, inserting `breakText` where characters remain; an existing
// `breakText` outside quotes is a cut of its own. Positions are 1-based as in
// the algorithm it follows; every byte of `line` is kept. Never throws.
std::string WrapAtBreakChars(std::string_view line, std::string_view breakText, std::string_view breakChars,
                             int maxCol);

class TIdHeaderList : public TStringList {
public:
    // Written between name and value by SetValueOf; for reading, only its text
    // without trailing blanks (the colon) counts.
    std::string Separator = ": ";
    // When false, NameAtLine upper-cases the name (ASCII letters only).
    bool CaseSensitiveNames = false;
    // ValueAtLine joins the continuation lines that follow a header line.
    bool UnfoldOnRead = true;
    // SetValueOf removes old continuation lines and folds the new line.
    bool FoldOnWrite = true;
    int FoldWidth = 78;

    // The line's text (upper-cased unless CaseSensitiveNames) before the first
    // colon, untrimmed; empty without colon or outside the list.
    std::string NameAtLine(int index) const;
    // Index of the first line whose name equals `name` under the locale-aware
    // case-insensitive comparison (continuation lines tested too); -1 if none.
    int IndexOfHeader(std::string_view name) const;
    // Everything after the first colon, continuation lines joined with one
    // space when UnfoldOnRead, trimmed. Empty outside the list.
    std::string ValueAtLine(int index) const;
    // ValueAtLine(IndexOfHeader(name)): empty when the header is absent.
    std::string ValueOf(std::string_view name) const;
    // Replaces (folded when FoldOnWrite) or appends the first header called
    // `name`; an empty value deletes it with its continuation lines. Later
    // duplicates stay.
    void SetValueOf(std::string_view name, std::string_view value);
    // Deletes the continuation lines (first character SPACE or TAB) after `index`.
    void RemoveContinuationLines(int index);
    // The pieces of `line` wrapped at FoldWidth, each right-trimmed; every piece
    // after the first begins with a blank. Pieces left empty by the trimming are
    // dropped, so folding never writes an empty line into the header.
    std::vector<std::string> FoldIntoLines(std::string_view line) const;

private:
    // Length of NameAtLine(line) without building it; npos when there is no colon.
    std::size_t NameLength(std::string_view line) const;
    std::size_t NameLength(std::string_view line, std::string_view colon) const;
};
