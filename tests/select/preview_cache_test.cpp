// The preview-image cache: replacement of a key, eviction by stamp with
// ties, refusal of an image larger than the whole cache, and the figures of
// a real thumbnail.
#include "field/preview_cache.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/bmp_codec.h"

namespace corvelle {
namespace {

uint8_t* Bytes(uint32_t size, uint8_t fill = 0) {
    auto* p = static_cast<uint8_t*>(std::malloc(size));
    std::memset(p, fill, size);
    return p;
}

std::vector<uint32_t> Keys(const CPreviewImageCache& c) {
    std::vector<uint32_t> keys;
    uint32_t key = 0;
    for (uint32_t i = 0; c.GetAt(i, &key, nullptr, nullptr); ++i) keys.push_back(key);
    return keys;
}

TEST(PreviewCache, ReplacingAKeyKeepsOneEntry) {
    uint32_t now = 100;
    CPreviewImageCache c(1000, [&] { return now; });
    EXPECT_TRUE(c.Add(5, Bytes(100, 1), 100));
    EXPECT_TRUE(c.Add(6, Bytes(100), 100));
    EXPECT_TRUE(c.Add(5, Bytes(300, 2), 300));
    EXPECT_EQ(Keys(c), (std::vector<uint32_t>{6, 5}));
    EXPECT_EQ(c.GetUsed(), 400u);
    uint32_t index = 0;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(c.Find(5, &index));
    ASSERT_TRUE(c.GetAt(index, nullptr, &data, &size));
    EXPECT_EQ(size, 300u);
    EXPECT_EQ(data[0], 2);
    EXPECT_FALSE(c.GetAt(2, nullptr, &data, &size));
    c.Remove(6);
    EXPECT_EQ(Keys(c), std::vector<uint32_t>{5});
    EXPECT_EQ(c.GetUsed(), 300u);
}

TEST(PreviewCache, OldestStampGoesFirstAndTheEarliestOfEqualStamps) {
    uint32_t now = 100;
    CPreviewImageCache c(300, [&] { return now; });
    c.Add(1, Bytes(100), 100);
    c.Add(2, Bytes(100), 100);
    now = 105;
    c.Add(3, Bytes(100), 100);
    now = 106;
    c.Add(4, Bytes(100), 100);   // room for one more: the first of the two at 100
    EXPECT_EQ(Keys(c), (std::vector<uint32_t>{2, 3, 4}));
    c.Add(5, Bytes(200), 200);   // two go: 2 (t = 100), then 3 (t = 105)
    EXPECT_EQ(Keys(c), (std::vector<uint32_t>{4, 5}));
    EXPECT_EQ(c.GetUsed(), 300u);
    now = 50;   // a clock that ran backwards: the smallest stamp goes, the new one
    c.Add(6, Bytes(100), 100);
    c.Add(7, Bytes(100), 100);
    EXPECT_EQ(Keys(c), (std::vector<uint32_t>{5, 7}));
}

TEST(PreviewCache, AnImageLargerThanTheCacheIsRefusedAndNothingDropped) {
    CPreviewImageCache c(kPreviewCacheCapacity, [] { return 1u; });
    EXPECT_TRUE(c.Add(1, Bytes(1000), 1000));
    EXPECT_TRUE(c.Add(2, Bytes(1000), 1000));
    // Freed by the cache: the sanitizers would report a leak otherwise.
    EXPECT_FALSE(c.Add(3, Bytes(kPreviewCacheCapacity + 1), kPreviewCacheCapacity + 1));
    EXPECT_EQ(Keys(c), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(c.GetUsed(), 2000u);
    EXPECT_FALSE(c.Add(4, nullptr, 10));
    // An image of exactly the capacity fits once the others are gone.
    EXPECT_TRUE(c.Add(5, Bytes(kPreviewCacheCapacity), kPreviewCacheCapacity));
    EXPECT_EQ(Keys(c), std::vector<uint32_t>{5});
}

TEST(PreviewCache, AThumbnailsByteFigure) {
    PixelImage thumb(kPreviewWidth, kPreviewHeight, 0x00336699);
    uint8_t* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(EncodeBmp(thumb, &data, &size));
    // 24-bit rows of 170 pixels padded to 512 bytes, and the 54-byte headers.
    EXPECT_EQ(size, 54u + 512u * kPreviewHeight);
    CPreviewImageCache c;
    ASSERT_TRUE(c.Add(0, data, static_cast<uint32_t>(size)));
    // The whole cache holds at least 15 thumbnails.
    EXPECT_GE(c.GetCapacity() / c.GetUsed(), 15u);
    const uint8_t* stored = nullptr;
    uint32_t storedSize = 0;
    ASSERT_TRUE(c.GetAt(0, nullptr, &stored, &storedSize));
    PixelImage back;
    ASSERT_TRUE(DecodeBmp(stored, storedSize, &back));
    EXPECT_EQ(back.width, kPreviewWidth);
    EXPECT_EQ(back.At(100, 100), 0x00336699u);
}

}  // namespace
}  // namespace corvelle
