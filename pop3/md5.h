#pragma once
// MD5 message digest (RFC 1321), for the APOP log-in.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class TIdHashMessageDigest5 {
public:
    using Digest = std::array<std::uint8_t, 16>;

    // The digest of `bytes`.
    static Digest HashValue(std::string_view bytes);
    // The digest as 32 lower-case hexadecimal digits, bytes in order, high
    // nibble first.
    static std::string AsHex(const Digest& digest);
};
