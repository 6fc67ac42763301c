#include "platform/drawing.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/image_gdi.h"

namespace corvelle {

namespace {

HBITMAP LoadArt(uint16_t bitmapId) {
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0));
}

// The pixels of a bitmap resource as 0x00RRGGBB values, rows from the top,
// read straight from the program's resource section. Plain 24- and 32-bit
// bitmaps (all of the program's artwork) are read this way; anything else
// leaves the picture empty and the caller takes the general GDI route.
class ResourcePixels {
public:
    explicit ResourcePixels(uint16_t bitmapId) {
        HMODULE module = GetModuleHandleW(nullptr);
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(bitmapId), MAKEINTRESOURCEW(2));  // RT_BITMAP
        if (!found) {
            missing = true;
            return;
        }
        HGLOBAL loaded = LoadResource(module, found);
        const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
        const DWORD size = SizeofResource(module, found);
        if (!data || size < sizeof(BITMAPINFOHEADER)) return;
        BITMAPINFOHEADER h;
        memcpy(&h, data, sizeof h);
        if (h.biSize < sizeof h || h.biCompression != BI_RGB || (h.biBitCount != 24 && h.biBitCount != 32) ||
            h.biWidth <= 0 || h.biWidth > 0x4000 || h.biHeight == 0 || h.biHeight > 0x4000 || h.biHeight < -0x4000)
            return;
        const int w = h.biWidth, rows = h.biHeight > 0 ? h.biHeight : -h.biHeight;
        const size_t bytes = h.biBitCount / 8u;
        const size_t stride = (static_cast<size_t>(w) * bytes + 3) & ~size_t{3};
        const size_t offset = h.biSize + h.biClrUsed * 4u;
        if (offset + stride * rows > size) return;
        pixels.resize(static_cast<size_t>(w) * rows);
        for (int y = 0; y < rows; ++y) {
            const uint8_t* row = data + offset + stride * static_cast<size_t>(h.biHeight > 0 ? rows - 1 - y : y);
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = row + x * bytes;
                pixels[static_cast<size_t>(y) * w + x] = p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
            }
        }
        width = w;
        height = rows;
    }
    bool IsMissing() const { return missing; }
    bool IsOk() const { return !pixels.empty(); }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    std::vector<uint32_t>& GetPixels() { return pixels; }

private:
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    bool missing = false;
};

uint32_t ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Draws the pixels at (x, y) leaving out those equal to key: an AND with a
// mask (white where the key is, keeping the destination; black elsewhere),
// then an OR with the picture whose key pixels are black. This gives the
// same pixels as TransparentBlt at a small part of its cost.
void DrawKeyed(HDC dc, int x, int y, int w, int h, const std::vector<uint32_t>& pixels, COLORREF key) {
    const uint32_t k = ToPixel(key);
    std::vector<uint32_t> mask(pixels.size()), colour(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const bool keyed = pixels[i] == k;
        mask[i] = keyed ? 0xFFFFFF : 0;
        colour[i] = keyed ? 0 : pixels[i];
    }
    BITMAPINFO bi = TopDownDibInfo(w, h);
    StretchDIBits(dc, x, y, w, h, 0, 0, w, h, mask.data(), &bi, DIB_RGB_COLORS, SRCAND);
    StretchDIBits(dc, x, y, w, h, 0, 0, w, h, colour.data(), &bi, DIB_RGB_COLORS, SRCPAINT);
}

// The general route for bitmaps in other formats: the bitmap loaded by GDI
// and selected into a memory DC compatible with dc for one drawing step.
class ArtSource {
public:
    ArtSource(HDC dc, uint16_t bitmapId) : bitmap(LoadArt(bitmapId)) {
        if (!bitmap) return;
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        width = info.bmWidth;
        height = info.bmHeight;
        memoryDc = CreateCompatibleDC(dc);
        if (memoryDc) previous = SelectObject(memoryDc, bitmap);
    }
    ~ArtSource() {
        if (memoryDc) {
            SelectObject(memoryDc, previous);
            DeleteDC(memoryDc);
        }
        if (bitmap) DeleteObject(bitmap);
    }
    ArtSource(const ArtSource&) = delete;
    ArtSource& operator=(const ArtSource&) = delete;

    bool IsOk() const { return memoryDc != nullptr; }
    HDC GetDC() const { return memoryDc; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }

private:
    HBITMAP bitmap;
    HDC memoryDc = nullptr;
    HGDIOBJ previous = nullptr;
    int width = 0;
    int height = 0;
};

}  // namespace

BitmapPixels ReadBitmapPixels(uint16_t bitmapId) {
    ResourcePixels art(bitmapId);
    BitmapPixels read;
    read.missing = art.IsMissing();
    if (art.IsOk()) {
        read.width = art.GetWidth();
        read.height = art.GetHeight();
        read.pixels = std::move(art.GetPixels());
    }
    return read;
}

void DrawBitmapTransparent(HDC dc, int32_t x, int32_t y, uint16_t bitmapId, COLORREF key) {
    ResourcePixels art(bitmapId);
    if (art.IsOk()) {
        DrawKeyed(dc, x, y, art.GetWidth(), art.GetHeight(), art.GetPixels(), key);
        return;
    }
    if (art.IsMissing()) return;
    ArtSource src(dc, bitmapId);
    if (!src.IsOk()) return;
    TransparentBlt(dc, x, y, src.GetWidth(), src.GetHeight(), src.GetDC(), 0, 0, src.GetWidth(), src.GetHeight(), key);
}

void DrawBitmap(HDC dc, int32_t x, int32_t y, uint16_t bitmapId) {
    ResourcePixels art(bitmapId);
    if (art.IsOk()) {
        BITMAPINFO bi = TopDownDibInfo(art.GetWidth(), art.GetHeight());
        StretchDIBits(dc, x, y, art.GetWidth(), art.GetHeight(), 0, 0, art.GetWidth(), art.GetHeight(), art.GetPixels().data(), &bi,
                      DIB_RGB_COLORS, SRCCOPY);
        return;
    }
    if (art.IsMissing()) return;
    ArtSource src(dc, bitmapId);
    if (!src.IsOk()) return;
    BitBlt(dc, x, y, src.GetWidth(), src.GetHeight(), src.GetDC(), 0, 0, SRCCOPY);
}

void DrawBitmapRotated(HDC dc, int32_t x, int32_t y, uint16_t bitmapId, COLORREF key) {
    // Turning the pixel array and drawing it keyed with its top-left corner
    // at (x - w + 1, y - h + 1) puts every non-key pixel (i, j) at (x - i, y - j).
    ResourcePixels art(bitmapId);
    if (art.IsOk()) {
        std::vector<uint32_t>& px = art.GetPixels();
        std::reverse(px.begin(), px.end());
        DrawKeyed(dc, x - art.GetWidth() + 1, y - art.GetHeight() + 1, art.GetWidth(), art.GetHeight(), px, key);
        return;
    }
    if (art.IsMissing()) return;
    ArtSource src(dc, bitmapId);
    if (!src.IsOk()) return;
    for (int i = 0; i < src.GetWidth(); ++i)
        for (int j = 0; j < src.GetHeight(); ++j) {
            COLORREF c = GetPixel(src.GetDC(), i, j);
            if (c != key) SetPixel(dc, x - i, y - j, c);
        }
}

void DrawFrame(HDC dc, const RECT* r, COLORREF first, COLORREF second) {
    const int left = r->left, top = r->top, right = r->right - 1, bottom = r->bottom - 1;
    HPEN firstPen = CreatePen(PS_SOLID, 1, first);
    HPEN secondPen = CreatePen(PS_SOLID, 1, second);
    HGDIOBJ old = SelectObject(dc, firstPen);
    MoveToEx(dc, left, bottom, nullptr);
    LineTo(dc, left, top);
    LineTo(dc, right, top);
    SelectObject(dc, secondPen);
    LineTo(dc, right, bottom);
    LineTo(dc, left, bottom);
    SelectObject(dc, old);
    DeleteObject(firstPen);
    DeleteObject(secondPen);
}

CMemoryBitmap::CMemoryBitmap(HDC dc, uint32_t cx, uint32_t cy) { Create(dc, cx, cy); }

CMemoryBitmap::~CMemoryBitmap() { Destroy(); }

void CMemoryBitmap::Create(HDC dc, uint32_t cx, uint32_t cy) {
    Destroy();
    memoryDc = CreateCompatibleDC(dc);
    width = cx;
    height = cy;
    bitmap = CreateCompatibleBitmap(dc, static_cast<int>(cx), static_cast<int>(cy));
    if (memoryDc && bitmap) previous = SelectObject(memoryDc, bitmap);
}

void CMemoryBitmap::Destroy() {
    if (!memoryDc) {
        // A bitmap made without its DC is released as well.
        if (bitmap) DeleteObject(bitmap);
        bitmap = nullptr;
        return;
    }
    if (previous) SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
    if (bitmap) DeleteObject(bitmap);
    memoryDc = nullptr;
    bitmap = nullptr;
    previous = nullptr;
}

void CMemoryBitmap::BlitTo(HDC dc, const POINT* at) const {
    if (!memoryDc) return;
    BitBlt(dc, at->x, at->y, static_cast<int>(width), static_cast<int>(height), memoryDc, 0, 0, SRCCOPY);
}

void CMemoryBitmap::BlitFrom(HDC dc, const POINT* at) {
    if (!memoryDc) return;
    BitBlt(memoryDc, 0, 0, static_cast<int>(width), static_cast<int>(height), dc, at->x, at->y, SRCCOPY);
}

void CMemoryBitmap::DrawTransparent(HDC dc, int32_t x, int32_t y, COLORREF key) const {
    if (!memoryDc) return;
    TransparentBlt(dc, x, y, static_cast<int>(width), static_cast<int>(height), memoryDc, 0, 0,
                   static_cast<int>(width), static_cast<int>(height), key);
}

void CBackBuffer::Create(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    Create(window, static_cast<uint32_t>(r.bottom - r.top));
}

void CBackBuffer::Create(HWND window, uint32_t cy) {
    bitmap.Destroy();
    ::GetClientRect(window, &area);
    width = static_cast<uint32_t>(area.right - area.left);
    height = cy;
    stale = true;
    if (width == 0 || height == 0) return;
    HDC dc = ::GetDC(window);
    bitmap.Create(dc, width, height);
    ::ReleaseDC(window, dc);
}

void CBackBuffer::ShowIn(HWND window, POINT at) const {
    HDC dc = ::GetDC(window);
    BlitTo(dc, at);
    ::ReleaseDC(window, dc);
}

void CBackBuffer::ShowOnPaint(HWND window, POINT at) const {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    BlitTo(dc, at);
    ::EndPaint(window, &paint);
}

void CKeyedImage::Make(Dib& d, HDC dc, int width, int height) {
    BITMAPINFO bi = TopDownDibInfo(width, height);
    void* bits = nullptr;
    d.bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    d.dc = d.bitmap ? CreateCompatibleDC(dc) : nullptr;
    if (!d.dc) {
        Free(d);
        return;
    }
    d.bits = static_cast<uint32_t*>(bits);
    d.previous = SelectObject(d.dc, d.bitmap);
}

void CKeyedImage::Free(Dib& d) {
    if (d.dc) {
        SelectObject(d.dc, d.previous);
        DeleteDC(d.dc);
    }
    if (d.bitmap) DeleteObject(d.bitmap);
    d = Dib{};
}

void CKeyedImage::Create(HDC dc, uint32_t cx, uint32_t cy) {
    Destroy();
    width = static_cast<int>(cx);
    height = static_cast<int>(cy);
    Make(image, dc, width, height);
}

void CKeyedImage::Destroy() {
    Free(image);
    Free(mask);
    width = height = 0;
}

void CKeyedImage::Seal(COLORREF key) { SealRows(key, 0, height); }

void CKeyedImage::SealRows(COLORREF key, int32_t top, int32_t rows) {
    if (!image.dc) return;
    if (!mask.dc) Make(mask, image.dc, width, height);
    if (!mask.dc) return;
    top = std::clamp(top, 0, height);
    rows = std::clamp(rows, 0, height - top);
    GdiFlush();   // the drawing into the image is done before its pixels are read
    const uint32_t k = ToPixel(key);
    const size_t first = static_cast<size_t>(top) * static_cast<size_t>(width);
    const size_t end = first + static_cast<size_t>(rows) * static_cast<size_t>(width);
    for (size_t i = first; i < end; ++i) {
        const bool keyed = (image.bits[i] & 0xFFFFFF) == k;
        mask.bits[i] = keyed ? 0xFFFFFF : 0;
        if (keyed) image.bits[i] = 0;
    }
}

void CKeyedImage::Draw(HDC dc, int32_t x, int32_t y) const { DrawPart(dc, x, y, 0, 0, width, height); }

void CKeyedImage::DrawPart(HDC dc, int32_t x, int32_t y, int32_t fromX, int32_t fromY, int32_t cx,
                           int32_t cy) const {
    if (!image.dc || !mask.dc) return;
    BitBlt(dc, x, y, cx, cy, mask.dc, fromX, fromY, SRCAND);
    BitBlt(dc, x, y, cx, cy, image.dc, fromX, fromY, SRCPAINT);
}

void ShowDrawingNow() {
    ::GdiFlush();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, 0);
}

void ShowDrawingFor(uint32_t ms) {
    ::GdiFlush();
    // A wait that no input ends (wake mask 0); it may still return early
    // after the system handled its own events, so it runs to the deadline.
    const DWORD start = ::GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = ::GetTickCount() - start)
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, 0);
}

}  // namespace corvelle
