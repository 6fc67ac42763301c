// The drawing primitives against exact pixels in a memory DC.
#include <gtest/gtest.h>

#include "field/field_test_support.h"
#include "platform/drawing.h"
#include "res/art_ids.h"

using namespace corvelle;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr uint16_t kBlackAceGlyph = IDB_RANK_GLYPH;   // rank 0, colour 0
constexpr uint16_t kClubPip = IDB_SUIT_PIP;           // suit 0
constexpr uint16_t kRegionArrow = IDB_REGION_OPEN;

TEST(DrawFrame, PaintsLeftAndTopInFirstColourRightAndBottomInSecond) {
    Surface s(12, 12, kWhite);
    RECT r{0, 0, 10, 10};
    DrawFrame(s.GetDC(), &r, kRed, kBlue);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            COLORREF want = kWhite;
            if (x == 0 && y <= 9) want = kRed;                   // (0,9) up to (0,0)
            else if (y == 0 && x <= 8) want = kRed;              // (1,0) to (8,0)
            else if (x == 9 && y <= 9) want = kBlue;             // (9,0) down to (9,9)
            else if (y == 9 && x >= 1 && x <= 9) want = kBlue;   // (8,9) back to (1,9)
            EXPECT_EQ(s.At(x, y), want) << "pixel " << x << "," << y;
        }
    }
}

TEST(DrawFrame, OffsetRectangleStaysInside) {
    Surface s(20, 20, kWhite);
    RECT r{5, 6, 15, 12};
    DrawFrame(s.GetDC(), &r, RGB(0, 0, 0), RGB(0, 0, 0));
    int painted = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            bool edge = (x >= 5 && x <= 14 && (y == 6 || y == 11)) || (y >= 6 && y <= 11 && (x == 5 || x == 14));
            EXPECT_EQ(s.At(x, y) == RGB(0, 0, 0), edge) << x << "," << y;
            painted += edge;
        }
    EXPECT_EQ(painted, 2 * 10 + 2 * 4);
}

// Every pixel of the surface after drawing `id` keyed at (x, y): the art's
// pixel where it is not the key, the background elsewhere.
void ExpectKeyedCopy(const Surface& s, const ArtPixels& art, int x, int y, COLORREF key, COLORREF background) {
    int drawn = 0;
    for (int j = 0; j < s.GetHeight(); ++j) {
        for (int i = 0; i < s.GetWidth(); ++i) {
            int ax = i - x, ay = j - y;
            COLORREF want = background;
            if (ax >= 0 && ay >= 0 && ax < art.width && ay < art.height && art.At(ax, ay) != key) {
                want = art.At(ax, ay);
                ++drawn;
            }
            ASSERT_EQ(s.At(i, j), want) << "pixel " << i << "," << j;
        }
    }
    EXPECT_GT(drawn, 10);
}

TEST(DrawBitmapTransparent, LeavesOutExactlyTheKeyColour) {
    // A white-keyed card glyph and a green-keyed panel icon, at their sizes.
    struct Case {
        uint16_t id;
        int width, height;
        COLORREF key;
    } const cases[] = {{kBlackAceGlyph, 15, 21, kKeyWhite}, {kRegionArrow, 13, 14, kKeyGreen}};
    for (const Case& c : cases) {
        ArtPixels art = ReadArt(c.id);
        ASSERT_EQ(art.width, c.width) << c.id;
        ASSERT_EQ(art.height, c.height) << c.id;
        Surface s(30, 30, kMagenta);
        DrawBitmapTransparent(s.GetDC(), 7, 5, c.id, c.key);
        ExpectKeyedCopy(s, art, 7, 5, c.key, kMagenta);
    }
}

TEST(DrawBitmapTransparent, SamePixelsAsTransparentBltOfTheLoadedBitmap) {
    constexpr uint16_t kKingOfHearts = IDB_CARD_FACE + 12 * 4 + 3;
    Surface ours(90, 120, kMagenta), reference(90, 120, kMagenta);
    DrawBitmapTransparent(ours.GetDC(), 4, 3, kKingOfHearts, kKeyWhite);
    HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kKingOfHearts));
    ASSERT_NE(bitmap, nullptr);
    HDC source = CreateCompatibleDC(reference.GetDC());
    HGDIOBJ old = SelectObject(source, bitmap);
    TransparentBlt(reference.GetDC(), 4, 3, 79, 112, source, 0, 0, 79, 112, kKeyWhite);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(bitmap);
    EXPECT_EQ(ours.Pixels(), reference.Pixels());
}

TEST(DrawBitmap, CopiesEveryPixelAndClipsAtTheEdge) {
    ArtPixels pip = ReadArt(kClubPip);
    Surface s(20, 20, kMagenta);
    DrawBitmap(s.GetDC(), -2, 10, kClubPip);
    for (int j = 0; j < 20; ++j)
        for (int i = 0; i < 20; ++i) {
            int ax = i + 2, ay = j - 10;
            bool inside = ax < pip.width && ay >= 0 && ay < pip.height;
            ASSERT_EQ(s.At(i, j), inside ? pip.At(ax, ay) : kMagenta) << i << "," << j;
        }
}

TEST(DrawBitmap, MissingBitmapDrawsNothing) {
    Surface s(8, 8, kMagenta);
    DrawBitmap(s.GetDC(), 0, 0, 9999);
    DrawBitmapTransparent(s.GetDC(), 0, 0, 9999, kKeyWhite);
    DrawBitmapRotated(s.GetDC(), 7, 7, 9999, kKeyWhite);
    for (COLORREF c : s.Pixels()) ASSERT_EQ(c, kMagenta);
}

TEST(DrawBitmapRotated, TurnsThePictureAboutTheGivenBottomRightPixel) {
    ArtPixels glyph = ReadArt(kBlackAceGlyph);
    // On a 79 x 112 card, the glyph turned at (78, 111) covers 64..78 x 91..111.
    Surface s(79, 112, kMagenta);
    DrawBitmapRotated(s.GetDC(), 78, 111, kBlackAceGlyph, kKeyWhite);
    int drawn = 0;
    for (int y = 0; y < 112; ++y)
        for (int x = 0; x < 79; ++x) {
            COLORREF want = kMagenta;
            if (x >= 64 && y >= 91) {
                COLORREF src = glyph.At(78 - x, 111 - y);
                if (src != kKeyWhite) {
                    want = src;
                    ++drawn;
                }
            }
            ASSERT_EQ(s.At(x, y), want) << x << "," << y;
        }
    EXPECT_GT(drawn, 10);
}

TEST(DrawBitmapRotated, SameAsSettingEachPixel) {
    // The reference: every non-key source pixel (i, j) set at (x - i, y - j).
    ArtPixels pip = ReadArt(kClubPip + 3);
    Surface fast(40, 40, kMagenta), slow(40, 40, kMagenta);
    DrawBitmapRotated(fast.GetDC(), 30, 25, kClubPip + 3, kKeyWhite);
    for (int i = 0; i < pip.width; ++i)
        for (int j = 0; j < pip.height; ++j)
            if (pip.At(i, j) != kKeyWhite) SetPixel(slow.GetDC(), 30 - i, 25 - j, pip.At(i, j));
    EXPECT_EQ(fast.Pixels(), slow.Pixels());
}

TEST(CMemoryBitmap, BlitsRoundTripAndDrawsKeyed) {
    Surface s(40, 30, kMagenta);
    CMemoryBitmap image(s.GetDC(), 10, 8);
    ASSERT_NE(image.GetDC(), nullptr);
    EXPECT_EQ(image.GetWidth(), 10u);
    EXPECT_EQ(image.GetHeight(), 8u);
    // Fill the image with blue and a green key pixel, copy it out and back.
    HBRUSH blue = CreateSolidBrush(kBlue);
    RECT all{0, 0, 10, 8};
    FillRect(image.GetDC(), &all, blue);
    DeleteObject(blue);
    SetPixel(image.GetDC(), 2, 3, kKeyGreen);
    POINT at{5, 6};
    image.BlitTo(s.GetDC(), &at);
    EXPECT_EQ(s.At(5, 6), kBlue);
    EXPECT_EQ(s.At(7, 9), kKeyGreen);
    EXPECT_EQ(s.At(14, 13), kBlue);
    EXPECT_EQ(s.At(15, 13), kMagenta);

    Surface t(40, 30, kRed);
    image.DrawTransparent(t.GetDC(), 1, 1, kKeyGreen);
    EXPECT_EQ(t.At(1, 1), kBlue);
    EXPECT_EQ(t.At(3, 4), kRed);  // the key pixel is left out
    EXPECT_EQ(t.At(10, 8), kBlue);
    EXPECT_EQ(t.At(11, 9), kRed);

    // BlitFrom saves what lies at a point: the red surface's corner region.
    POINT origin{30, 20};
    image.BlitFrom(t.GetDC(), &origin);
    image.BlitTo(s.GetDC(), &at);
    EXPECT_EQ(s.At(5, 6), kRed);
    EXPECT_EQ(s.At(7, 9), kRed);

    image.Destroy();
    EXPECT_EQ(image.GetDC(), nullptr);
    image.Destroy();  // a second Destroy does nothing
    image.Create(s.GetDC(), 3, 3);
    EXPECT_NE(image.GetDC(), nullptr);
    EXPECT_EQ(image.GetWidth(), 3u);
}

// A window's back buffer: made for its client area (or a given height),
// out of date after each making until painted, no bitmap without pixels,
// copied where it is asked to go, and no GDI object left behind by
// making it again and again.
TEST(CBackBuffer, FollowsTheClientAreaAndLeavesNoGdiObjects) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 60, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    CBackBuffer buffer;
    buffer.Create(window);
    const RECT& area = buffer.GetArea();
    EXPECT_EQ(area.right - area.left, 60);
    EXPECT_EQ(area.bottom - area.top, 40);
    EXPECT_EQ(buffer.GetWidth(), 60u);
    EXPECT_EQ(buffer.GetHeight(), 40u);
    ASSERT_NE(buffer.GetDC(), nullptr);
    EXPECT_TRUE(buffer.IsStale());
    buffer.Painted();
    EXPECT_FALSE(buffer.IsStale());
    buffer.Invalidate();
    EXPECT_TRUE(buffer.IsStale());
    buffer.Painted();

    HBRUSH blue = CreateSolidBrush(kBlue);
    const RECT all{0, 0, 60, 40};
    FillRect(buffer.GetDC(), &all, blue);
    DeleteObject(blue);
    Surface s(80, 60, kMagenta);
    buffer.BlitTo(s.GetDC(), POINT{5, 6});
    EXPECT_EQ(s.At(4, 6), kMagenta);
    EXPECT_EQ(s.At(5, 6), kBlue);
    EXPECT_EQ(s.At(64, 45), kBlue);
    EXPECT_EQ(s.At(65, 45), kMagenta);
    EXPECT_EQ(s.At(64, 46), kMagenta);

    buffer.Create(window, 100);   // taller than the window
    EXPECT_EQ(buffer.GetWidth(), 60u);
    EXPECT_EQ(buffer.GetHeight(), 100u);
    EXPECT_TRUE(buffer.IsStale());

    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
    buffer.Create(window);
    EXPECT_EQ(buffer.GetDC(), nullptr);
    EXPECT_EQ(buffer.GetWidth(), 0u);
    buffer.BlitTo(s.GetDC(), POINT{0, 0});   // nothing to copy
    buffer.ShowIn(window, POINT{0, 0});
    EXPECT_EQ(s.At(0, 0), kMagenta);

    int objects = 0;
    for (int round = 0; round < 40; ++round) {
        if (round == 1) objects = LiveGdiObjects();
        SetWindowPos(window, nullptr, 0, 0, 30 + round, 20 + round % 7, SWP_NOMOVE | SWP_NOZORDER);
        buffer.Create(window);
        buffer.ShowIn(window, POINT{0, 0});
        if (round % 3 == 0) buffer.Destroy();
    }
    buffer.Destroy();
    ASSERT_GT(objects, 0);
    EXPECT_LE(LiveGdiObjects(), objects);
    DestroyWindow(window);
}

}  // namespace
