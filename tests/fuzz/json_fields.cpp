// A token endpoint's answer in: one JSON object's members or nothing, and
// what is read, written back as an object of strings, reads the same.
#include "platform/json_fields.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// A JSON string that reads back as `text`.
std::string Quoted(const std::string& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out + '"';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto fields = JsonObjectFields(text);
    if (!fields) return 0;
    std::string written = "{";
    for (const auto& [name, value] : *fields)
        written += (written.size() > 1 ? "," : "") + Quoted(name) + ":" + Quoted(value);
    written += '}';
    if (written.size() > (1 << 20)) return 0;
    if (JsonObjectFields(written) != fields) std::abort();
    // Blanks around an object leave it one; anything after it does not.
    if (JsonObjectFields(" \r\n" + written + "\t") != fields) std::abort();
    if (JsonObjectFields(written + "x")) std::abort();
    return 0;
}
