#include "account/password_scramble.h"

#include <array>
#include <random>

#include "platform/text.h"

namespace {

constexpr int kLowest = 48;    // "0"
constexpr int kHighest = 122;  // "z"
constexpr int kAlphabet = kHighest - kLowest + 1;

struct Slot {
    std::size_t position;  // 1-based place in the stored text
    int shift;             // applied by the save, undone by the load
};
constexpr std::array<Slot, 8> kSlots = {
    {{2, 2}, {3, 4}, {6, -4}, {7, 5}, {8, -2}, {10, 3}, {11, -3}, {12, 6}}};
constexpr std::array<std::size_t, 4> kFillerPositions = {1, 4, 5, 9};

// Rotation within the alphabet, judged on the whole code before it is cut to
// 8 bits; 0 stays 0.
char Rotate(char c, int shift) {
    int code = static_cast<unsigned char>(c);
    if (code == 0) return 0;
    int moved = code + shift;
    if (shift > 0 && moved > kHighest) moved -= kAlphabet;
    if (shift < 0 && moved < kLowest) moved += kAlphabet;
    return static_cast<char>(static_cast<unsigned char>(moved));
}

char DrawFiller(const FillerDraw& draw) {
    int value = draw();
    while (value < 35) value = draw();
    return static_cast<char>(value);
}

}  // namespace

int RandomFillerDraw() {
    static std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<int>(0, 121)(generator);
}

std::string ScramblePassword(std::string_view password, const FillerDraw& draw) {
    std::string stored(12, '\0');
    for (std::size_t position : kFillerPositions) stored[position - 1] = DrawFiller(draw);
    for (std::size_t i = 0; i < kSlots.size(); ++i) {
        char c = i < password.size() ? password[i] : '\0';
        stored[kSlots[i].position - 1] = Rotate(c, kSlots[i].shift);
    }
    return stored.substr(0, stored.find('\0'));
}

std::string UnscramblePassword(std::string_view stored) {
    std::string codes;
    for (const Slot& slot : kSlots) {
        char d = slot.position <= stored.size() ? stored[slot.position - 1] : '\0';
        codes += Rotate(d, -slot.shift);
    }
    return codes;
}

std::string ClientPassword(std::string_view stored) { return TrimRight(UnscramblePassword(stored)); }

std::string DialogPassword(std::string_view stored) {
    std::string codes = UnscramblePassword(stored);
    return codes.substr(0, codes.find('\0'));
}

bool CanStorePassword(std::string_view password) {
    if (password.size() > kSlots.size()) return false;
    for (char c : password) {
        int code = static_cast<unsigned char>(c);
        if (code < kLowest || code > kHighest) return false;
    }
    return true;
}
