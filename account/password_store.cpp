#include "account/password_store.h"

#include "platform/text.h"

namespace {
unsigned char Shift(std::size_t place) { return static_cast<unsigned char>(0x5A + 37 * place); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

std::string EncodeStoredPassword(std::string_view password) {
    std::string stored;
    for (std::size_t i = 0; i < password.size(); ++i) {
        AppendHexByte(stored, static_cast<unsigned char>(static_cast<unsigned char>(password[i]) + Shift(i)));
    }
    return stored;
}

std::optional<std::string> DecodeStoredPassword(std::string_view stored) {
    if (stored.size() % 2 != 0) return std::nullopt;
    std::string password;
    for (std::size_t i = 0; i < stored.size(); i += 2) {
        int high = HexValue(stored[i]), low = HexValue(stored[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        password += static_cast<char>(static_cast<unsigned char>(high * 16 + low - Shift(i / 2)));
    }
    return password;
}
