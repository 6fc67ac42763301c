// BMP coding: round trips through the malloc-owned buffer, the header as
// other programs read it, both row orders and pixel depths, and refusal of
// every damaged or truncated file.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/bmp_codec.h"

using namespace corvelle;

namespace {

uint32_t Read32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void Write32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

PixelImage Pattern(int32_t w, int32_t h) {
    PixelImage image(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) image.At(x, y) = static_cast<uint32_t>((x * 37 + y * 101) * 2654435761u) & 0xFFFFFF;
    }
    return image;
}

std::vector<uint8_t> Encoded(const PixelImage& image) {
    uint8_t* data = nullptr;
    size_t size = 0;
    EXPECT_TRUE(EncodeBmp(image, &data, &size));
    std::vector<uint8_t> bytes(data, data + size);
    std::free(data);
    return bytes;
}

TEST(BmpCodec, RoundTripsEveryRowPadding) {
    for (int32_t w : {1, 2, 3, 4, 5, 17}) {
        PixelImage image = Pattern(w, 3);
        std::vector<uint8_t> bytes = Encoded(image);
        ASSERT_EQ(bytes.size(), 54 + static_cast<size_t>((w * 3 + 3) / 4 * 4) * 3);
        PixelImage back;
        ASSERT_TRUE(DecodeBmp(bytes.data(), bytes.size(), &back));
        EXPECT_EQ(back.width, w);
        EXPECT_EQ(back.height, 3);
        EXPECT_EQ(back.pixels, image.pixels);
    }
}

TEST(BmpCodec, WritesAStandardBottomUpHeader) {
    PixelImage image = Pattern(3, 2);
    std::vector<uint8_t> b = Encoded(image);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Read32(&b[2]), b.size());
    EXPECT_EQ(Read32(&b[10]), 54u);
    EXPECT_EQ(Read32(&b[14]), 40u);
    EXPECT_EQ(Read32(&b[18]), 3u);
    EXPECT_EQ(Read32(&b[22]), 2u);
    EXPECT_EQ(b[28], 24);
    // The first stored row is the image's bottom row, in B, G, R order.
    uint32_t bottomLeft = image.At(0, 1);
    EXPECT_EQ(b[54], bottomLeft & 0xFF);
    EXPECT_EQ(b[55], (bottomLeft >> 8) & 0xFF);
    EXPECT_EQ(b[56], (bottomLeft >> 16) & 0xFF);
    uint8_t* data = reinterpret_cast<uint8_t*>(1);
    size_t size = 9;
    EXPECT_FALSE(EncodeBmp(PixelImage(), &data, &size));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(BmpCodec, ReadsTopDown32BitFiles) {
    // 2 x 2, 32 bits, rows from the top, the unused byte set.
    std::vector<uint8_t> b(54 + 16, 0);
    b[0] = 'B';
    b[1] = 'M';
    Write32(&b[2], static_cast<uint32_t>(b.size()));
    Write32(&b[10], 54);
    Write32(&b[14], 40);
    Write32(&b[18], 2);
    Write32(&b[22], static_cast<uint32_t>(-2));
    b[26] = 1;
    b[28] = 32;
    const uint32_t pixels[4] = {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC};
    for (int i = 0; i < 4; ++i) Write32(&b[54 + 4 * static_cast<size_t>(i)], pixels[i]);
    PixelImage image;
    ASSERT_TRUE(DecodeBmp(b.data(), b.size(), &image));
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.At(0, 0), 0x112233u);
    EXPECT_EQ(image.At(1, 1), 0xAABBCCu);
}

TEST(BmpCodec, RefusesDamagedFiles) {
    const std::vector<uint8_t> good = Encoded(Pattern(5, 4));
    PixelImage image = Pattern(2, 2);
    // Every truncation, read from a buffer of exactly that size.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        ASSERT_FALSE(DecodeBmp(cut.empty() ? nullptr : cut.data(), n, &image)) << n;
        ASSERT_TRUE(image.IsEmpty());
    }
    struct Damage {
        size_t at;
        uint32_t value;
        bool wide;
    };
    const Damage damages[] = {
        {0, 'X', false},                      // not "BM"
        {18, 0, true},                        // width 0
        {18, 0x80000000u, true},              // negative width
        {22, 0, true},                        // height 0
        {22, static_cast<uint32_t>(INT_MIN), true},
        {22, 100000, true},                   // more rows than the data holds
        {18, 0x7FFFFFFF, true},               // a width whose rows overflow
        {26, 2, false},                       // planes
        {28, 8, false},                       // a palette depth
        {30, 1, true},                        // compressed
        {10, 0xFFFFFFF0u, true},              // pixels beyond the file
        {10, 20, true},                       // pixels inside the header
        {14, 12, true},                       // an old, short header
        {14, 0xFFFFFF00u, true},              // a header longer than the file
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> bad = good;
        if (d.wide) Write32(&bad[d.at], d.value);
        else bad[d.at] = static_cast<uint8_t>(d.value);
        EXPECT_FALSE(DecodeBmp(bad.data(), bad.size(), &image)) << "at " << d.at;
    }
    EXPECT_TRUE(DecodeBmp(good.data(), good.size(), &image));
}

TEST(BmpCodec, WritesAFileOnlyWhenAllOfItIsWritten) {
    const PixelImage image = Pattern(5, 4);
    const std::string path = ::testing::TempDir() + "bmp_codec_test.bmp";
    ASSERT_TRUE(WriteBmpFile(image, path));
    std::vector<uint8_t> bytes(200);
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    std::remove(path.c_str());
    EXPECT_EQ(bytes, Encoded(image));

    EXPECT_FALSE(WriteBmpFile(image, ::testing::TempDir() + "no-such-folder/x.bmp"));
    EXPECT_FALSE(WriteBmpFile(PixelImage(), path));
#ifndef _WIN32
    // A full disk: the buffered bytes fail only when the file is closed.
    EXPECT_FALSE(WriteBmpFile(image, "/dev/full"));
#endif
}

}  // namespace
