// GradientBand, the side panel's gradient.
#pragma once
// The side panel's gradient: 256 vertical bands from a start colour to an
// end colour across a given width.
#include <array>
#include <cstdint>

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct GradientBand {
    int left = 0;   // first pixel column
    int right = 0;  // past the last one; equal to left for a band of no width
    Rgb colour;
};

// Band i covers [round(i * width / 256), round((i + 1) * width / 256)),
// halves rounded up, and has start + round(i * (end - start) / 255) in each
// channel: band 0 is exactly `start`, band 255 exactly `end`.
std::array<GradientBand, 256> GradientBands(int width, Rgb start, Rgb end);
