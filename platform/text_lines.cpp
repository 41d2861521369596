#include "platform/text_lines.h"

std::vector<TextLine> SplitTextLines(std::string_view bytes) {
    std::vector<TextLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        std::size_t endLength = bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back(
            {std::string(bytes.substr(start, stop - start)), std::string(bytes.substr(stop, endLength))});
        start = stop + endLength;
    }
    return lines;
}

std::string JoinCrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}
