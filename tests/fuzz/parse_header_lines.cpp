// Arbitrary header blocks into a message: lines cut at LF (a CR before it
// dropped), empty lines skipped as header reception never appends them. The
// only errors allowed are the ones the header processing names, all rooted
// in the project's base class.
#include <cstdint>
#include <string_view>

#include "fuzz_lines.h"
#include "message/message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TIdMessage message;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        std::string_view line = fuzz::TakeLine(input);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) message.HeaderLines.Add(std::string(line));
    }
    try {
        message.ParseHeaderLines();
    } catch (const EIdException&) {
        // an address, encoded-word or time-zone error
    }
    return 0;
}
