#include "app/gradient_panel.h"

#include <gtest/gtest.h>

namespace {

const Rgb kBlue{0, 0, 255}, kRed{255, 0, 0}, kFace{240, 240, 240};

// Which band paints each pixel column: the last one covering it.
std::vector<int> ColumnOwners(const std::array<GradientBand, 256>& bands, int width) {
    std::vector<int> owner(static_cast<std::size_t>(width), -1);
    for (int i = 0; i < 256; ++i)
        for (int x = bands[i].left; x < bands[i].right; ++x) owner[static_cast<std::size_t>(x)] = i;
    return owner;
}

TEST(GradientBands, EndsAreExactlyTheTwoColours) {
    auto bands = GradientBands(113, kBlue, kFace);
    EXPECT_EQ(bands[0].colour, kBlue);
    EXPECT_EQ(bands[255].colour, kFace);
    // Red rises 0 -> 240 over 255 steps: band 128 is round(128 * 240 / 255) = 120.
    EXPECT_EQ(bands[128].colour, (Rgb{120, 120, 247}));
}

TEST(GradientBands, FallingChannelRoundsToNearest) {
    auto bands = GradientBands(256, kRed, kBlue);
    // 255 - round(i * 255 / 255) = 255 - i; blue rises i.
    for (int i : {0, 1, 127, 254, 255})
        EXPECT_EQ(bands[i].colour, (Rgb{std::uint8_t(255 - i), 0, std::uint8_t(i)}));
    // From 200 to 100: i = 2 gives 200 + round(-200 / 255) = 199, i = 1 gives 200 + round(-0.39) = 200.
    auto falling = GradientBands(10, Rgb{200, 0, 0}, Rgb{100, 0, 0});
    EXPECT_EQ(falling[1].colour.red, 200);
    EXPECT_EQ(falling[2].colour.red, 199);
}

struct WidthCase {
    int width;
    int band;
    int left, right;
};
// Edges: round(i * width / 256), an exact half going up.
const WidthCase kWidths[] = {
    {256, 0, 0, 1},       {256, 255, 255, 256}, {512, 10, 20, 22}, {113, 0, 0, 0},  // 0.44 -> 0
    {113, 1, 0, 1},                                                                 // 0.88 -> 1
    {128, 0, 0, 1},                                                                 // 0.5 goes up
    {128, 1, 1, 1},                                                                 // 0.5 -> 1, 1.0 -> 1
    {113, 255, 113, 113},                                                           // 112.56 -> 113
    {0, 100, 0, 0},
};

TEST(GradientBands, EdgesFromTable) {
    for (const WidthCase& c : kWidths) {
        auto bands = GradientBands(c.width, kBlue, kRed);
        EXPECT_EQ(bands[c.band].left, c.left) << c.width << " band " << c.band;
        EXPECT_EQ(bands[c.band].right, c.right) << c.width << " band " << c.band;
    }
}

TEST(GradientBands, EveryColumnCoveredOncePerWidth) {
    for (int width : {1, 100, 113, 255, 256, 257, 1000}) {
        auto owners = ColumnOwners(GradientBands(width, kBlue, kRed), width);
        for (int x = 0; x < width; ++x) EXPECT_GE(owners[x], 0) << width << " column " << x;
        if (width == 256) {
            for (int x = 0; x < 256; ++x) EXPECT_EQ(owners[x], x);
        }
    }
}

}  // namespace
