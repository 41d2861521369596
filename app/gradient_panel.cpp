// GradientBand, the side panel's gradient.
#include "app/gradient_panel.h"

namespace {

// Nearest integer to numerator / denominator (denominator > 0), halves up.
int RoundedQuotient(long long numerator, long long denominator) {
    long long twice = 2 * numerator + denominator;
    long long divisor = 2 * denominator;
    long long quotient = twice / divisor;
    if (twice % divisor != 0 && twice < 0) --quotient;  // floor, not truncation
    return static_cast<int>(quotient);
}

std::uint8_t Channel(int from, int to, int band) {
    return static_cast<std::uint8_t>(from + RoundedQuotient(static_cast<long long>(band) * (to - from), 255));
}

}  // namespace

std::array<GradientBand, 256> GradientBands(int width, Rgb start, Rgb end) {
    std::array<GradientBand, 256> bands;
    for (int i = 0; i < 256; ++i) {
        GradientBand& band = bands[static_cast<std::size_t>(i)];
        band.left = RoundedQuotient(static_cast<long long>(i) * width, 256);
        band.right = RoundedQuotient(static_cast<long long>(i + 1) * width, 256);
        band.colour = {Channel(start.red, end.red, i), Channel(start.green, end.green, i),
                       Channel(start.blue, end.blue, i)};
    }
    return bands;
}
