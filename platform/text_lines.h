#pragma once
// Splitting file contents into lines, keeping each line's own end.
#include <string>
#include <string_view>
#include <vector>

struct TextLine {
    std::string text;
    std::string end;  // "\r\n", "\n", "\r", or empty for a last line without end
};

// Lines of `bytes`, ending at CR LF, at a CR alone and at an LF alone (LF
// then CR is two ends). A line end at the very end adds no empty line; empty
// input gives no line. Joining text + end of every line gives `bytes` back.
std::vector<TextLine> SplitTextLines(std::string_view bytes);
// The lines joined, each followed by CR LF (the last one too).
std::string JoinCrLfLines(const std::vector<std::string>& lines);
