// SpinRange, the spin edit's rules.
#include "app/spin_edit.h"

#include <algorithm>
#include <cmath>

#include "platform/text.h"

double SpinReadValue(std::string_view text, SpinRange range) {
    if (auto value = TryStrToInt64(text)) return static_cast<double>(*value);
    return std::trunc(range.minValue);
}

std::string SpinValueText(double value, SpinRange range) {
    if (range.Limited()) value = std::clamp(value, range.minValue, range.maxValue);
    return IntToStr(static_cast<long long>(std::nearbyint(value)));
}

std::string SpinStepText(std::string_view text, SpinRange range, double increment) {
    return SpinValueText(SpinReadValue(text, range) + increment, range);
}

bool SpinOutsideRange(std::string_view text, SpinRange range) {
    if (!range.Limited()) return false;
    double value = SpinReadValue(text, range);
    return value < range.minValue || value > range.maxValue;
}

SpinKey SpinFilterChar(char32_t c, bool editorEnabled) {
    const bool backspace = c == 8;
    if (!editorEnabled && (c >= 32 || backspace)) return SpinKey::Drop;
    if (c < 32) return SpinKey::Accept;
    if (c == '+' || c == '-' || (c >= '0' && c <= '9')) return SpinKey::Accept;
    return SpinKey::DropWithBeep;
}
