// Bitmaps read into pixels and images drawn back, 1:1 and stretched.
#include <gtest/gtest.h>

#include "platform/image_gdi.h"

using namespace corvelle;

namespace {

// A 32-bit screen-independent surface to draw on and read from.
class DibSurface {
public:
    DibSurface(int cx, int cy) {
        BITMAPINFO info = TopDownDibInfo(cx, cy);
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        old = SelectObject(dc, bitmap);
        w = cx;
    }
    ~DibSurface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC GetDC() const { return dc; }
    uint32_t At(int x, int y) const {
        GdiFlush();
        return bits[y * w + x] & 0xFFFFFF;
    }
    HBITMAP Detach() {
        SelectObject(dc, old);
        HBITMAP b = bitmap;
        bitmap = CreateCompatibleBitmap(dc, 1, 1);
        old = SelectObject(dc, bitmap);
        return b;
    }

private:
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    uint32_t* bits = nullptr;
    int w;
};

PixelImage Quadrants() {
    PixelImage image(4, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) image.At(x, y) = x < 2 ? (y == 0 ? 0xFF0000u : 0x00FF00u) : 0x0000FFu;
    }
    return image;
}

TEST(ImageGdi, DrawAtOwnSizeAndStretchedThenReadBack) {
    PixelImage image = Quadrants();
    DibSurface surface(12, 8);
    PatBlt(surface.GetDC(), 0, 0, 12, 8, WHITENESS);
    DrawImage(surface.GetDC(), image, 1, 1);
    EXPECT_EQ(surface.At(1, 1), 0xFF0000u);
    EXPECT_EQ(surface.At(2, 2), 0x00FF00u);
    EXPECT_EQ(surface.At(4, 1), 0x0000FFu);
    EXPECT_EQ(surface.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(surface.At(5, 1), 0xFFFFFFu);

    RECT r{0, 0, 12, 8};   // three times as wide, four times as high
    DrawImageStretched(surface.GetDC(), image, r);
    EXPECT_EQ(surface.At(0, 0), 0xFF0000u);
    EXPECT_EQ(surface.At(5, 3), 0xFF0000u);
    EXPECT_EQ(surface.At(5, 4), 0x00FF00u);
    EXPECT_EQ(surface.At(6, 7), 0x0000FFu);
    EXPECT_EQ(surface.At(11, 0), 0x0000FFu);

    HBITMAP bitmap = surface.Detach();
    PixelImage read;
    ASSERT_TRUE(ImageFromBitmap(bitmap, &read));
    DeleteObject(bitmap);
    ASSERT_EQ(read.width, 12);
    ASSERT_EQ(read.height, 8);
    EXPECT_EQ(read.At(0, 0), 0xFF0000u);
    EXPECT_EQ(read.At(11, 7), 0x0000FFu);
    EXPECT_FALSE(ImageFromBitmap(nullptr, &read));
    EXPECT_TRUE(read.IsEmpty());
}

TEST(ImageGdi, ReadsAnAreaOfADeviceContext) {
    DibSurface surface(12, 8);
    PatBlt(surface.GetDC(), 0, 0, 12, 8, WHITENESS);
    DrawImage(surface.GetDC(), Quadrants(), 3, 2);
    PixelImage read;
    ASSERT_TRUE(ImageFromDc(surface.GetDC(), RECT{3, 2, 8, 5}, &read));
    ASSERT_EQ(read.width, 5);
    ASSERT_EQ(read.height, 3);
    EXPECT_EQ(read.At(0, 0), 0xFF0000u);
    EXPECT_EQ(read.At(1, 1), 0x00FF00u);
    EXPECT_EQ(read.At(3, 0), 0x0000FFu);
    EXPECT_EQ(read.At(4, 0), 0xFFFFFFu);
    EXPECT_EQ(read.At(0, 2), 0xFFFFFFu);
    EXPECT_FALSE(ImageFromDc(surface.GetDC(), RECT{3, 2, 3, 5}, &read));
    EXPECT_TRUE(read.IsEmpty());
    EXPECT_FALSE(ImageFromDc(nullptr, RECT{0, 0, 2, 2}, &read));
}

}  // namespace
