// PixelImage and GDI: the pixels of a bitmap (GetDIBits), and drawing an
// image to a device context at its own size or stretched into a rectangle.
#pragma once

#include <windows.h>

#include "platform/pixel_image.h"

namespace corvelle {

// The header of a 32-bit DIB of the given size with rows from the top, the
// layout of PixelImage.
inline BITMAPINFO TopDownDibInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The bitmap's pixels as 32-bit; false (and *image empty) when the bitmap
// cannot be read. The bitmap must not be selected into a device context.
bool ImageFromBitmap(HBITMAP bitmap, PixelImage* image);
// The pixels of `area` of a device context (the screen's, GetDC(nullptr), or
// a back buffer's); false (and *image empty) when they cannot be read.
bool ImageFromDc(HDC dc, const RECT& area, PixelImage* image);
// Draws the image with its top-left corner at (x, y), pixel for pixel.
void DrawImage(HDC dc, const PixelImage& image, int x, int y);
// Draws the image stretched (or shrunk) into `r` by GDI.
void DrawImageStretched(HDC dc, const PixelImage& image, const RECT& r);

}  // namespace corvelle
