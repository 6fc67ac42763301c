// Helpers of the drawing tests: screen-compatible memory surfaces (as the
// game field's back buffer is made), bitmap resources read back as pixels,
// and writing a surface to a BMP file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class Surface {
public:
    Surface(int width, int height, COLORREF fill);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC GetDC() const { return dc; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    void Fill(COLORREF c);
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    // All pixels, row by row from the top.
    std::vector<COLORREF> Pixels() const;
    bool WriteBmp(const std::string& file) const;

private:
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    int width, height;
};

struct ArtPixels {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;  // rows from the top
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool IsEmpty() const { return pixels.empty(); }
};
// The pixels of bitmap resource `id` (empty when there is none).
ArtPixels ReadArt(uint16_t id);

// Live GDI objects of this process: the system's count where it keeps one
// (GetGuiResources), else, under Wine, which counts nothing there, the
// entries of the process's GDI handle table that hold an object.
int LiveGdiObjects();
