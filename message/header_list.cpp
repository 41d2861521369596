#include "message/header_list.h"

#include "platform/text.h"

namespace {

bool IsContinuation(std::string_view line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

bool HasAsciiLetter(std::string_view s) {
    for (char c : s) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    }
    return false;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Trims without copying what stays, so that joining many continuation lines
// costs time in proportion to their length.
void TrimInPlace(std::string& s) {
    std::size_t end = s.size();
    while (end > 0 && IsBlank(s[end - 1])) --end;
    s.resize(end);
    std::size_t start = 0;
    while (start < s.size() && IsBlank(s[start])) ++start;
    if (start > 0) s.erase(0, start);
}

// 1-based view helpers for the wrap, which follows a 1-based algorithm.
std::string_view Slice(std::string_view s, std::size_t from, std::size_t to) {
    if (from > to || from > s.size()) return {};
    return s.substr(from - 1, to - from + 1);
}

}  // namespace

std::string WrapAtBreakChars(std::string_view line, std::string_view breakText, std::string_view breakChars,
                             int maxCol) {
    const std::size_t len = line.size();
    std::string result;
    result.reserve(len + len / 8 + breakText.size());
    long col = 1;
    std::size_t pos = 1, lineStart = 1, breakPos = 0;
    bool inQuote = false, existingBreak = false;
    auto isBreakChar = [&](char ch) { return breakChars.find(ch) != std::string_view::npos; };
    while (pos <= len) {
        const char c = line[pos - 1];
        // The code page has no double-byte lead bytes, so no trail byte is skipped.
        if (!breakText.empty() && c == breakText[0]) {
            if (!inQuote) {
                existingBreak =
                    UpperCase(Slice(line, pos, pos + breakText.size() - 1)) == UpperCase(breakText);
                if (existingBreak) {
                    pos += breakText.size() - 1;
                    breakPos = pos;
                }
            }
        } else if (isBreakChar(c)) {
            if (!inQuote) breakPos = pos;
        } else if (c == '"') {
            inQuote = !inQuote;
        }
        ++pos;
        ++col;
        if (!inQuote && (existingBreak || (col > maxCol && breakPos > lineStart))) {
            col = static_cast<long>(pos - breakPos);
            result += Slice(line, lineStart, breakPos);
            if (c != '"') {
                while (pos <= len &&
                       (isBreakChar(line[pos - 1]) || line[pos - 1] == '\r' || line[pos - 1] == '\n'))
                    ++pos;
            }
            if (!existingBreak && pos < len) result += breakText;
            lineStart = breakPos + 1;
            breakPos = lineStart;
            existingBreak = false;
        }
    }
    result += Slice(line, lineStart, len);
    return result;
}

std::size_t TIdHeaderList::NameLength(std::string_view line) const {
    return NameLength(line, TrimRight(Separator));
}

std::size_t TIdHeaderList::NameLength(std::string_view line, std::string_view colon) const {
    // Upper-casing touches letters only, so a colon text without letters sits
    // at the same place in the raw line: no copy needed.
    const std::size_t p =
        CaseSensitiveNames || !HasAsciiLetter(colon) ? Pos(colon, line) : Pos(colon, UpperCase(line));
    return p == 0 ? std::string::npos : p - 1;
}

std::string TIdHeaderList::NameAtLine(int index) const {
    if (index < 0 || index >= Count()) return {};
    const std::string& line = (*this)[index];
    const std::size_t n = NameLength(line);
    if (n == std::string::npos) return {};
    return CaseSensitiveNames ? line.substr(0, n) : UpperCase(std::string_view(line).substr(0, n));
}

int TIdHeaderList::IndexOfHeader(std::string_view name) const {
    const std::string colon = TrimRight(Separator);
    for (int i = 0; i < Count(); ++i) {
        std::string_view line = (*this)[i];
        const std::size_t n = NameLength(line, colon);
        const std::string_view lineName = n == std::string::npos ? std::string_view() : line.substr(0, n);
        // The comparison ignores case, so the raw name compares as its
        // upper-cased form would; equal texts always have equal lengths.
        if (lineName.size() == name.size() && SameText(lineName, name)) return i;
    }
    return -1;
}

std::string TIdHeaderList::ValueAtLine(int index) const {
    if (index < 0 || index >= Count()) return {};
    std::string_view line = (*this)[index];
    const std::size_t n = NameLength(line);
    // From position length(name) + 2: everything after the colon.
    std::string value = Copy(line, (n == std::string::npos ? 0 : n) + 2);
    if (UnfoldOnRead) {
        for (int next = index + 1; next < Count() && IsContinuation((*this)[next]); ++next) {
            TrimInPlace(value);
            value += ' ';
            value += Trim((*this)[next]);
        }
    }
    TrimInPlace(value);
    return value;
}

std::string TIdHeaderList::ValueOf(std::string_view name) const { return ValueAtLine(IndexOfHeader(name)); }

void TIdHeaderList::RemoveContinuationLines(int index) {
    while (index + 1 < Count() && IsContinuation((*this)[index + 1])) Delete(index + 1);
}

std::vector<std::string> TIdHeaderList::FoldIntoLines(std::string_view line) const {
    const std::string wrapped = WrapAtBreakChars(line, "\r\n ", " \t,", FoldWidth);
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < wrapped.size()) {
        std::size_t end = wrapped.find("\r\n", start);
        if (end == std::string::npos) end = wrapped.size();
        std::string piece = TrimRight(std::string_view(wrapped).substr(start, end - start));
        // A piece of blanks only (a cut right after a CR LF TAB already in the
        // value) would become an empty line, which ends a header block: drop it.
        if (!piece.empty() || pieces.empty()) pieces.push_back(std::move(piece));
        start = end + 2;
    }
    return pieces;
}

void TIdHeaderList::SetValueOf(std::string_view name, std::string_view value) {
    int index = IndexOfHeader(name);
    if (!value.empty()) {
        if (index == -1) index = Add({});
        std::string line = std::string(name) + Separator + std::string(value);
        if (!FoldOnWrite) {
            Put(index, std::move(line));
            return;
        }
        RemoveContinuationLines(index);
        std::vector<std::string> pieces = FoldIntoLines(line);
        if (pieces.empty()) pieces.emplace_back();
        Put(index, std::move(pieces[0]));
        for (std::size_t i = 1; i < pieces.size(); ++i)
            Insert(index + static_cast<int>(i), std::move(pieces[i]));
    } else if (index != -1) {
        if (FoldOnWrite) RemoveContinuationLines(index);
        Delete(index);
    }
}
