// SpinRange, the spin edit's rules.
#pragma once
// The rules of the numeric spin edit, whole numbers only: reading the text,
// writing a value, a step of the buttons or arrow keys, the typed-character
// filter. The box itself lives in the window.
#include <string>
#include <string_view>

struct SpinRange {
    double minValue = 0;
    double maxValue = 0;  // equal to minValue: no range
    bool Limited() const { return minValue != maxValue; }
};

// The text as a whole number (decimal, optional sign); text that does not
// convert gives the minimum cut to a whole number. No clamping: "15" is 15.
double SpinReadValue(std::string_view text, SpinRange range);
// The text shown for `value`: clamped into a limited range, then the
// nearest whole number in decimal.
std::string SpinValueText(double value, SpinRange range);
// The text after one step of `increment` (negative for the down step).
std::string SpinStepText(std::string_view text, SpinRange range, double increment);
// Whether the value read from the text lies outside a limited range (the box
// then writes it again when the focus leaves).
bool SpinOutsideRange(std::string_view text, SpinRange range);

enum class SpinKey { Accept, Drop, DropWithBeep };
// A typed character (its code; Unicode above 255 counts as printable):
// signs, digits and control characters pass; others are dropped with a
// beep. With the editor disabled, printable characters and backspace are
// dropped silently.
SpinKey SpinFilterChar(char32_t c, bool editorEnabled);
