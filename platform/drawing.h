// Small GDI drawing helpers: bitmap resources drawn at their own size
// (opaque, with a key colour, or turned by 180 degrees), a two-colour
// rectangle outline, a memory device context with its bitmap, a window's
// back buffer, and a memory image drawn with a key colour through a mask.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace corvelle {

// Key colours of the artwork: pure green for icons, the plain pile base and
// the rendered card images; white for card and pile-base pictures.
constexpr COLORREF kKeyGreen = RGB(0, 255, 0);
constexpr COLORREF kKeyWhite = RGB(255, 255, 255);

// Draws bitmap resource `bitmapId` at (x, y), leaving out pixels of colour `key`.
void DrawBitmapTransparent(HDC dc, int32_t x, int32_t y, uint16_t bitmapId, COLORREF key);
// Draws bitmap resource `bitmapId` at (x, y), every pixel.
void DrawBitmap(HDC dc, int32_t x, int32_t y, uint16_t bitmapId);
// Draws bitmap resource `bitmapId` turned by 180 degrees: source pixel (i, j)
// lands on (x - i, y - j), so (x, y) is the bottom-right pixel of the area
// covered. Pixels of colour `key` are left out.
void DrawBitmapRotated(HDC dc, int32_t x, int32_t y, uint16_t bitmapId, COLORREF key);
// The pixels of bitmap resource `bitmapId` as the functions above read and
// draw them: 0x00RRGGBB values, rows from the top. Empty for a bitmap in a
// format other than plain 24 or 32 bits (the functions above draw those
// through GDI) and for a missing one (they draw nothing).
struct BitmapPixels {
    bool missing = false;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};
BitmapPixels ReadBitmapPixels(uint16_t bitmapId);

// One-pixel outline of r: `first` on the left and top edges, `second` on the
// right and bottom edges (r.right - 1 and r.bottom - 1).
void DrawFrame(HDC dc, const RECT* r, COLORREF first, COLORREF second);

// Keeps what was just drawn into windows on the screen for `ms`
// milliseconds: the pending GDI calls are handed to the system, which is let
// show the windows' new contents before the thread waits (Wine puts a
// window's drawing on the screen only when its thread waits or ends a
// paint; a plain Sleep shows nothing of it). No message is taken meanwhile.
void ShowDrawingFor(uint32_t ms);
// The same without waiting: what was drawn goes to the screen now, before
// a long piece of work that follows (no message is taken).
void ShowDrawingNow();

// A memory device context with a bitmap of its own selected into it.
class CMemoryBitmap {
public:
    CMemoryBitmap() = default;
    CMemoryBitmap(HDC dc, uint32_t width, uint32_t height);
    ~CMemoryBitmap();
    CMemoryBitmap(const CMemoryBitmap&) = delete;
    CMemoryBitmap& operator=(const CMemoryBitmap&) = delete;

    // Makes a memory DC and a bitmap of the given size, both compatible with
    // dc, replacing any previous ones.
    void Create(HDC dc, uint32_t width, uint32_t height);
    void Destroy();
    HDC GetDC() const { return memoryDc; }
    uint32_t GetWidth() const { return width; }
    uint32_t GetHeight() const { return height; }

    // Copies the whole image to `at` of dc.
    void BlitTo(HDC dc, const POINT* at) const;
    // Fills the image from the area of its size at `at` of dc.
    void BlitFrom(HDC dc, const POINT* at);
    // Draws the whole image at (x, y) of dc, leaving out pixels of colour key.
    void DrawTransparent(HDC dc, int32_t x, int32_t y, COLORREF key) const;

private:
    HDC memoryDc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
};

// A window's back buffer: a memory bitmap that stands for the window's
// client area. The window paints into it only when its contents are out of
// date and copies it to the screen; when the client area changes the window
// makes it again, which leaves the contents out of date.
class CBackBuffer {
public:
    CBackBuffer() = default;
    CBackBuffer(const CBackBuffer&) = delete;
    CBackBuffer& operator=(const CBackBuffer&) = delete;

    // Makes the bitmap, compatible with the window's DC, of the window's
    // client size. A buffer without pixels has no bitmap: nothing is painted
    // into it or shown from it.
    void Create(HWND window);
    // The same, as wide as the client area and `height` high.
    void Create(HWND window, uint32_t height);
    void Destroy() { bitmap.Destroy(); }
    // The client rectangle of the last Create, and the buffer's size.
    const RECT& GetArea() const { return area; }
    uint32_t GetWidth() const { return width; }
    uint32_t GetHeight() const { return height; }
    // The DC to paint into; null while there is no bitmap.
    HDC GetDC() const { return bitmap.GetDC(); }

    // The contents are out of date: the next paint draws them anew.
    void Invalidate() { stale = true; }
    bool IsStale() const { return stale; }
    // The contents are drawn.
    void Painted() { stale = false; }

    // Copies the buffer to `at` of dc.
    void BlitTo(HDC dc, POINT at) const { bitmap.BlitTo(dc, &at); }
    // Copies it to `at` of the window at once (the window's DC taken and
    // released).
    void ShowIn(HWND window, POINT at) const;
    // The window's WM_PAINT: copies it to `at` between BeginPaint and
    // EndPaint.
    void ShowOnPaint(HWND window, POINT at) const;

private:
    CMemoryBitmap bitmap;
    RECT area{};
    uint32_t width = 0;
    uint32_t height = 0;
    bool stale = true;
};

// A memory image drawn with a key colour through a mask made once: an AND
// with the mask keeps the destination where the key was, an OR with the
// image (its key pixels made black) adds the rest. The result equals
// TransparentBlt with the key, at a small part of its cost. Image and mask
// are 32-bit DIB sections, so the mask is made from the pixels directly.
class CKeyedImage {
public:
    CKeyedImage() = default;
    ~CKeyedImage() { Destroy(); }
    CKeyedImage(const CKeyedImage&) = delete;
    CKeyedImage& operator=(const CKeyedImage&) = delete;

    // Makes the image (compatible with dc); draw into GetDC(), then call
    // Seal before drawing it.
    void Create(HDC dc, uint32_t width, uint32_t height);
    void Destroy();
    HDC GetDC() const { return image.dc; }
    // The image's pixels (0x00RRGGBB, rows from the top; null while there is
    // no image), to be written directly. After GDI drew into the image,
    // GdiFlush comes before they are read.
    uint32_t* GetBits() const { return image.bits; }
    // Builds the mask of the pixels of colour key and blackens them.
    void Seal(COLORREF key);
    // The same for rows top .. top + rows - 1 alone (the rest of the mask
    // stays as it is): an image made in parts, each sealed once drawn.
    void SealRows(COLORREF key, int32_t top, int32_t rows);
    // Draws the image at (x, y) of dc without its key pixels.
    void Draw(HDC dc, int32_t x, int32_t y) const;
    // Draws the part of the image of width x height at (fromX, fromY) the
    // same way.
    void DrawPart(HDC dc, int32_t x, int32_t y, int32_t fromX, int32_t fromY, int32_t width, int32_t height) const;

private:
    struct Dib {
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ previous = nullptr;
        uint32_t* bits = nullptr;
    };
    static void Make(Dib& d, HDC dc, int width, int height);
    static void Free(Dib& d);

    Dib image;
    Dib mask;   // white where the key was, black elsewhere
    int width = 0;
    int height = 0;
};

}  // namespace corvelle
