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
            missing_ = true;
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
        pixels_.resize(static_cast<size_t>(w) * rows);
        for (int y = 0; y < rows; ++y) {
            const uint8_t* row = data + offset + stride * static_cast<size_t>(h.biHeight > 0 ? rows - 1 - y : y);
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = row + x * bytes;
                pixels_[static_cast<size_t>(y) * w + x] = p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
            }
        }
        width_ = w;
        height_ = rows;
    }
    bool Missing() const { return missing_; }
    bool Ok() const { return !pixels_.empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::vector<uint32_t>& Pixels() { return pixels_; }

private:
    std::vector<uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    bool missing_ = false;
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
    ArtSource(HDC dc, uint16_t bitmapId) : bitmap_(LoadArt(bitmapId)) {
        if (!bitmap_) return;
        BITMAP info{};
        GetObjectW(bitmap_, sizeof info, &info);
        width_ = info.bmWidth;
        height_ = info.bmHeight;
        memoryDc_ = CreateCompatibleDC(dc);
        if (memoryDc_) previous_ = SelectObject(memoryDc_, bitmap_);
    }
    ~ArtSource() {
        if (memoryDc_) {
            SelectObject(memoryDc_, previous_);
            DeleteDC(memoryDc_);
        }
        if (bitmap_) DeleteObject(bitmap_);
    }
    ArtSource(const ArtSource&) = delete;
    ArtSource& operator=(const ArtSource&) = delete;

    bool Ok() const { return memoryDc_ != nullptr; }
    HDC Dc() const { return memoryDc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    HBITMAP bitmap_;
    HDC memoryDc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace

BitmapPixels ReadBitmapPixels(uint16_t bitmapId) {
    ResourcePixels art(bitmapId);
    BitmapPixels read;
    read.missing = art.Missing();
    if (art.Ok()) {
        read.width = art.Width();
        read.height = art.Height();
        read.pixels = std::move(art.Pixels());
    }
    return read;
}

void DrawBitmapTransparent(HDC dc, int32_t x, int32_t y, uint16_t bitmapId, COLORREF key) {
    ResourcePixels art(bitmapId);
    if (art.Ok()) {
        DrawKeyed(dc, x, y, art.Width(), art.Height(), art.Pixels(), key);
        return;
    }
    if (art.Missing()) return;
    ArtSource src(dc, bitmapId);
    if (!src.Ok()) return;
    TransparentBlt(dc, x, y, src.Width(), src.Height(), src.Dc(), 0, 0, src.Width(), src.Height(), key);
}

void DrawBitmap(HDC dc, int32_t x, int32_t y, uint16_t bitmapId) {
    ResourcePixels art(bitmapId);
    if (art.Ok()) {
        BITMAPINFO bi = TopDownDibInfo(art.Width(), art.Height());
        StretchDIBits(dc, x, y, art.Width(), art.Height(), 0, 0, art.Width(), art.Height(), art.Pixels().data(), &bi,
                      DIB_RGB_COLORS, SRCCOPY);
        return;
    }
    if (art.Missing()) return;
    ArtSource src(dc, bitmapId);
    if (!src.Ok()) return;
    BitBlt(dc, x, y, src.Width(), src.Height(), src.Dc(), 0, 0, SRCCOPY);
}

void DrawBitmapRotated(HDC dc, int32_t x, int32_t y, uint16_t bitmapId, COLORREF key) {
    // Turning the pixel array and drawing it keyed with its top-left corner
    // at (x - w + 1, y - h + 1) puts every non-key pixel (i, j) at (x - i, y - j).
    ResourcePixels art(bitmapId);
    if (art.Ok()) {
        std::vector<uint32_t>& px = art.Pixels();
        std::reverse(px.begin(), px.end());
        DrawKeyed(dc, x - art.Width() + 1, y - art.Height() + 1, art.Width(), art.Height(), px, key);
        return;
    }
    if (art.Missing()) return;
    ArtSource src(dc, bitmapId);
    if (!src.Ok()) return;
    for (int i = 0; i < src.Width(); ++i)
        for (int j = 0; j < src.Height(); ++j) {
            COLORREF c = GetPixel(src.Dc(), i, j);
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

CMemoryBitmap::CMemoryBitmap(HDC dc, uint32_t width, uint32_t height) { Create(dc, width, height); }

CMemoryBitmap::~CMemoryBitmap() { Destroy(); }

void CMemoryBitmap::Create(HDC dc, uint32_t width, uint32_t height) {
    Destroy();
    memoryDc_ = CreateCompatibleDC(dc);
    width_ = width;
    height_ = height;
    bitmap_ = CreateCompatibleBitmap(dc, static_cast<int>(width), static_cast<int>(height));
    if (memoryDc_ && bitmap_) previous_ = SelectObject(memoryDc_, bitmap_);
}

void CMemoryBitmap::Destroy() {
    if (!memoryDc_) {
        // A bitmap made without its DC is released as well.
        if (bitmap_) DeleteObject(bitmap_);
        bitmap_ = nullptr;
        return;
    }
    if (previous_) SelectObject(memoryDc_, previous_);
    DeleteDC(memoryDc_);
    if (bitmap_) DeleteObject(bitmap_);
    memoryDc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
}

void CMemoryBitmap::BlitTo(HDC dc, const POINT* at) const {
    if (!memoryDc_) return;
    BitBlt(dc, at->x, at->y, static_cast<int>(width_), static_cast<int>(height_), memoryDc_, 0, 0, SRCCOPY);
}

void CMemoryBitmap::BlitFrom(HDC dc, const POINT* at) {
    if (!memoryDc_) return;
    BitBlt(memoryDc_, 0, 0, static_cast<int>(width_), static_cast<int>(height_), dc, at->x, at->y, SRCCOPY);
}

void CMemoryBitmap::DrawTransparent(HDC dc, int32_t x, int32_t y, COLORREF key) const {
    if (!memoryDc_) return;
    TransparentBlt(dc, x, y, static_cast<int>(width_), static_cast<int>(height_), memoryDc_, 0, 0,
                   static_cast<int>(width_), static_cast<int>(height_), key);
}

void CBackBuffer::Create(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    Create(window, static_cast<uint32_t>(r.bottom - r.top));
}

void CBackBuffer::Create(HWND window, uint32_t height) {
    bitmap_.Destroy();
    ::GetClientRect(window, &area_);
    width_ = static_cast<uint32_t>(area_.right - area_.left);
    height_ = height;
    stale_ = true;
    if (width_ == 0 || height_ == 0) return;
    HDC dc = ::GetDC(window);
    bitmap_.Create(dc, width_, height_);
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

void CKeyedImage::Create(HDC dc, uint32_t width, uint32_t height) {
    Destroy();
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    Make(image_, dc, width_, height_);
}

void CKeyedImage::Destroy() {
    Free(image_);
    Free(mask_);
    width_ = height_ = 0;
}

void CKeyedImage::Seal(COLORREF key) { SealRows(key, 0, height_); }

void CKeyedImage::SealRows(COLORREF key, int32_t top, int32_t rows) {
    if (!image_.dc) return;
    if (!mask_.dc) Make(mask_, image_.dc, width_, height_);
    if (!mask_.dc) return;
    top = std::clamp(top, 0, height_);
    rows = std::clamp(rows, 0, height_ - top);
    GdiFlush();   // the drawing into the image is done before its pixels are read
    const uint32_t k = ToPixel(key);
    const size_t first = static_cast<size_t>(top) * static_cast<size_t>(width_);
    const size_t end = first + static_cast<size_t>(rows) * static_cast<size_t>(width_);
    for (size_t i = first; i < end; ++i) {
        const bool keyed = (image_.bits[i] & 0xFFFFFF) == k;
        mask_.bits[i] = keyed ? 0xFFFFFF : 0;
        if (keyed) image_.bits[i] = 0;
    }
}

void CKeyedImage::Draw(HDC dc, int32_t x, int32_t y) const { DrawPart(dc, x, y, 0, 0, width_, height_); }

void CKeyedImage::DrawPart(HDC dc, int32_t x, int32_t y, int32_t fromX, int32_t fromY, int32_t width,
                           int32_t height) const {
    if (!image_.dc || !mask_.dc) return;
    BitBlt(dc, x, y, width, height, mask_.dc, fromX, fromY, SRCAND);
    BitBlt(dc, x, y, width, height, image_.dc, fromX, fromY, SRCPAINT);
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
