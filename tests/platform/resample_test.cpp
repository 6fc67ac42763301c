// The resampler: sizes, flat images staying flat, area averages when
// shrinking, the B-spline with repeated edges when growing, and no read
// outside the source (the host build runs this under AddressSanitizer, with
// every image in a buffer of exactly its size).
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/resample.h"

using namespace corvelle;

namespace {

uint32_t Gray(uint32_t v) {
    return v | v << 8 | v << 16;
}

PixelImage Row(std::initializer_list<uint32_t> grays) {
    PixelImage image(static_cast<int32_t>(grays.size()), 1);
    int32_t x = 0;
    for (uint32_t g : grays) image.At(x++, 0) = Gray(g);
    return image;
}

TEST(Resample, GivesTheRequestedSizeOrNothing) {
    PixelImage source(7, 5, 0x102030);
    const int32_t sizes[][2] = {{14, 10}, {3, 2}, {20, 2}, {1, 1}, {7, 5}, {890, 3}};
    for (const auto& s : sizes) {
        PixelImage out = ResampleImage(source, s[0], s[1]);
        EXPECT_EQ(out.width, s[0]);
        EXPECT_EQ(out.height, s[1]);
        EXPECT_EQ(out.pixels.size(), static_cast<size_t>(s[0]) * static_cast<size_t>(s[1]));
    }
    EXPECT_TRUE(ResampleImage(source, 0, 5).IsEmpty());
    EXPECT_TRUE(ResampleImage(source, 5, -1).IsEmpty());
    EXPECT_TRUE(ResampleImage(PixelImage(), 5, 5).IsEmpty());
    EXPECT_TRUE(ResampleImage(source, 1 << 20, 1 << 20).IsEmpty()) << "absurd sizes are refused";
}

TEST(Resample, AFlatImageStaysFlatAtEverySize) {
    PixelImage source(9, 4, 0x00C08040);
    for (int32_t w : {1, 2, 5, 9, 13, 40}) {
        for (int32_t h : {1, 3, 4, 11}) {
            PixelImage out = ResampleImage(source, w, h);
            for (uint32_t p : out.pixels) ASSERT_EQ(p, 0x00C08040u) << w << "x" << h;
        }
    }
}

TEST(Resample, ShrinkingAveragesTheCoveredArea) {
    PixelImage halves = ResampleImage(Row({0, 100, 200, 40}), 2, 1);
    EXPECT_EQ(halves.At(0, 0), Gray(50));
    EXPECT_EQ(halves.At(1, 0), Gray(120));
    // Three into two: the middle pixel is shared half and half.
    PixelImage thirds = ResampleImage(Row({30, 60, 90}), 2, 1);
    EXPECT_EQ(thirds.At(0, 0), Gray(40));
    EXPECT_EQ(thirds.At(1, 0), Gray(80));
    // Everything into one pixel: the mean, channel by channel.
    PixelImage block(2, 2);
    block.pixels = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    EXPECT_EQ(ResampleImage(block, 1, 1).At(0, 0), 0x404040u);
}

TEST(Resample, GrowingRepeatsTheEdgePixels) {
    // One pixel grows into a field of that pixel: the kernel's taps beyond
    // the edges all fall on it.
    PixelImage dot(1, 1, 0x00336699);
    for (uint32_t p : ResampleImage(dot, 13, 7).pixels) ASSERT_EQ(p, 0x00336699u);
    // A black and a white pixel: the ramp rises monotonically, is symmetric,
    // and the edges stay near their own pixel's value.
    PixelImage ramp = ResampleImage(Row({0, 255}), 8, 1);
    for (int32_t x = 1; x < 8; ++x) EXPECT_GE(ramp.At(x, 0) & 0xFF, ramp.At(x - 1, 0) & 0xFF);
    for (int32_t x = 0; x < 8; ++x) {
        int sum = static_cast<int>(ramp.At(x, 0) & 0xFF) + static_cast<int>(ramp.At(7 - x, 0) & 0xFF);
        EXPECT_NEAR(sum, 255, 1) << x;
    }
    EXPECT_LT(ramp.At(0, 0) & 0xFF, 40u);
    EXPECT_GT(ramp.At(7, 0) & 0xFF, 215u);
    // The three channels are resampled alike and the top byte is cleared.
    PixelImage coloured(2, 1);
    coloured.pixels = {0xFF000000u, 0xFFFFFFFFu};
    for (uint32_t p : ResampleImage(coloured, 5, 3).pixels) {
        EXPECT_EQ(p >> 24, 0u);
        EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
        EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
    }
}

TEST(Resample, ReadsOnlyInsideTheSourceAtExtremeRatios) {
    // Random contents, thin and tall shapes, ratios far above and below one.
    std::srand(7);
    const int32_t shapes[][4] = {{1, 1, 1000, 3}, {1000, 1, 1, 1}, {1, 999, 3, 1},
                                 {3, 7, 997, 1}, {257, 3, 2, 700}, {890, 70, 1100, 80},
                                 {5, 5, 4, 6}, {2, 2, 3, 1}};
    for (const auto& s : shapes) {
        PixelImage source(s[0], s[1]);
        for (uint32_t& p : source.pixels) p = static_cast<uint32_t>(std::rand()) & 0xFFFFFF;
        PixelImage out = ResampleImage(source, s[2], s[3]);
        ASSERT_EQ(out.width, s[2]);
        ASSERT_EQ(out.height, s[3]);
        // Every result lies within the source's channel range.
        uint32_t low = 255, high = 0;
        for (uint32_t p : source.pixels) {
            low = std::min(low, p & 0xFF);
            high = std::max(high, p & 0xFF);
        }
        for (uint32_t p : out.pixels) {
            ASSERT_GE(p & 0xFF, low);
            ASSERT_LE(p & 0xFF, high);
        }
    }
}

}  // namespace
