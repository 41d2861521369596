#include "pop3/md5.h"

#include <cstring>

#include "platform/text.h"

namespace {
constexpr std::uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

std::uint32_t RotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// One step of a round: the round's function f of b, c, d, then the add and
// the rotation. Written out step by step, the compiler keeps the whole block
// in registers.
template <typename F>
inline void Step(F f, std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t word,
                 std::uint32_t sine, int shift) {
    a = b + RotateLeft(a + f(b, c, d) + word + sine, shift);
}

// One 64-byte block into the state (four rounds of sixteen steps).
void Transform(std::uint32_t state[4], const std::uint8_t block[64]) {
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = block[i * 4] | (block[i * 4 + 1] << 8) | (block[i * 4 + 2] << 16) |
               (static_cast<std::uint32_t>(block[i * 4 + 3]) << 24);
    }
    const auto f = [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return d ^ (b & (c ^ d)); };
    const auto g = [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return c ^ (d & (b ^ c)); };
    const auto h = [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return b ^ c ^ d; };
    const auto k = [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return c ^ (b | ~d); };
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    // Each round turns the four registers four times; the word of step i
    // is m[i], m[(5i + 1) % 16], m[(3i + 5) % 16], m[7i % 16] by round.
#pragma GCC unroll 4
    for (int i = 0; i < 16; i += 4) {
        Step(f, a, b, c, d, m[i], kSines[i], 7);
        Step(f, d, a, b, c, m[i + 1], kSines[i + 1], 12);
        Step(f, c, d, a, b, m[i + 2], kSines[i + 2], 17);
        Step(f, b, c, d, a, m[i + 3], kSines[i + 3], 22);
    }
#pragma GCC unroll 4
    for (int i = 16; i < 32; i += 4) {
        Step(g, a, b, c, d, m[(5 * i + 1) % 16], kSines[i], 5);
        Step(g, d, a, b, c, m[(5 * i + 6) % 16], kSines[i + 1], 9);
        Step(g, c, d, a, b, m[(5 * i + 11) % 16], kSines[i + 2], 14);
        Step(g, b, c, d, a, m[(5 * i + 16) % 16], kSines[i + 3], 20);
    }
#pragma GCC unroll 4
    for (int i = 32; i < 48; i += 4) {
        Step(h, a, b, c, d, m[(3 * i + 5) % 16], kSines[i], 4);
        Step(h, d, a, b, c, m[(3 * i + 8) % 16], kSines[i + 1], 11);
        Step(h, c, d, a, b, m[(3 * i + 11) % 16], kSines[i + 2], 16);
        Step(h, b, c, d, a, m[(3 * i + 14) % 16], kSines[i + 3], 23);
    }
#pragma GCC unroll 4
    for (int i = 48; i < 64; i += 4) {
        Step(k, a, b, c, d, m[(7 * i) % 16], kSines[i], 6);
        Step(k, d, a, b, c, m[(7 * i + 7) % 16], kSines[i + 1], 10);
        Step(k, c, d, a, b, m[(7 * i + 14) % 16], kSines[i + 2], 15);
        Step(k, b, c, d, a, m[(7 * i + 21) % 16], kSines[i + 3], 21);
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}
}  // namespace

TIdHashMessageDigest5::Digest TIdHashMessageDigest5::HashValue(std::string_view bytes) {
    std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    std::size_t whole = bytes.size() / 64 * 64;
    for (std::size_t at = 0; at < whole; at += 64) {
        Transform(state, reinterpret_cast<const std::uint8_t*>(bytes.data() + at));
    }
    // Padding: 0x80, zeros, then the bit length, little-endian, in one or two blocks.
    std::uint8_t tail[128] = {};
    std::size_t rest = bytes.size() - whole;
    std::memcpy(tail, bytes.data() + whole, rest);
    tail[rest] = 0x80;
    std::size_t tailSize = rest < 56 ? 64 : 128;
    std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i) tail[tailSize - 8 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    for (std::size_t at = 0; at < tailSize; at += 64) Transform(state, tail + at);
    Digest digest;
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(state[i / 4] >> (8 * (i % 4)));
    return digest;
}

std::string TIdHashMessageDigest5::AsHex(const Digest& digest) {
    std::string hex;
    for (std::uint8_t byte : digest) AppendHexByte(hex, byte, true);
    return hex;
}
