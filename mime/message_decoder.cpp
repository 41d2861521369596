#include "mime/message_decoder.h"

#include <array>

#include "platform/text.h"

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && SameText(a, b);
}

std::string TIdMessageDecoder::PartHeaderValue(std::string_view name) const {
    for (const std::string& line : PartHeaders.Lines()) {
        const std::size_t equals = line.find('=');
        const std::string_view lineName = std::string_view(line).substr(0, equals);
        if (equals != std::string::npos && EqualsIgnoringCase(lineName, name)) return line.substr(equals + 1);
    }
    return {};
}

std::string TIdMessageDecoder::ReadSourceLine() {
    if (auto* tcp = std::get_if<std::unique_ptr<TIdTCPStream>>(&SourceStream)) return (*tcp)->ReadLine();
    if (auto* other = std::get_if<std::unique_ptr<std::istream>>(&SourceStream))
        return ReadStreamLine(**other);
    return {};
}

std::string TIdMessageDecoder::ReadStreamLine(std::istream& stream) {
    constexpr std::size_t kChunk = 2048;
    std::array<char, kChunk> chunk;
    std::string line;
    for (;;) {
        const std::streampos start = stream.tellg();
        stream.read(chunk.data(), kChunk);
        const std::string_view got(chunk.data(), static_cast<std::size_t>(stream.gcount()));
        const std::size_t stop = got.find_first_of("\r\n");
        line.append(got.substr(0, stop));
        if (stop == std::string_view::npos) {
            if (got.size() < kChunk) return line;
            continue;
        }
        // A CR LF pair counts as one line end only when both are in this chunk.
        std::size_t used = stop + 1;
        if (got[stop] == '\r' && used < got.size() && got[used] == '\n') ++used;
        stream.clear();
        stream.seekg(start + static_cast<std::streamoff>(used));
        return line;
    }
}
