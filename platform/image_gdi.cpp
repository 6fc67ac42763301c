// PixelImage to and from GDI through 32-bit top-down DIBs.
#include "platform/image_gdi.h"

namespace corvelle {

bool ImageFromBitmap(HBITMAP bitmap, PixelImage* image) {
    image->Clear();
    BITMAP header{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof header, &header) != sizeof header ||
        header.bmWidth <= 0 || header.bmHeight <= 0) {
        return false;
    }
    PixelImage read(header.bmWidth, header.bmHeight);
    BITMAPINFO info = TopDownDibInfo(read.width, read.height);
    HDC screen = ::GetDC(nullptr);
    int lines = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(read.height), read.pixels.data(),
                            &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (lines != read.height) return false;
    for (uint32_t& p : read.pixels) p &= 0x00FFFFFFu;
    *image = std::move(read);
    return true;
}

bool ImageFromDc(HDC dc, const RECT& area, PixelImage* image) {
    image->Clear();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (dc == nullptr || width <= 0 || height <= 0) return false;
    HDC copy = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, width, height);
    bool ok = false;
    if (copy != nullptr && bitmap != nullptr) {
        HGDIOBJ previous = ::SelectObject(copy, bitmap);
        ok = ::BitBlt(copy, 0, 0, width, height, dc, area.left, area.top, SRCCOPY) != 0;
        ::SelectObject(copy, previous);
    }
    if (copy != nullptr) ::DeleteDC(copy);
    // Read once the bitmap is no longer selected into a device context.
    if (ok) ok = ImageFromBitmap(bitmap, image);
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    return ok;
}

void DrawImage(HDC dc, const PixelImage& image, int x, int y) {
    if (image.IsEmpty()) return;
    BITMAPINFO info = TopDownDibInfo(image.width, image.height);
    ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(image.width), static_cast<DWORD>(image.height),
                        0, 0, 0, static_cast<UINT>(image.height), image.pixels.data(), &info,
                        DIB_RGB_COLORS);
}

void DrawImageStretched(HDC dc, const PixelImage& image, const RECT& r) {
    if (image.IsEmpty() || r.right <= r.left || r.bottom <= r.top) return;
    BITMAPINFO info = TopDownDibInfo(image.width, image.height);
    int previous = ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, image.width,
                    image.height, image.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    if (previous != 0) ::SetStretchBltMode(dc, previous);
}

}  // namespace corvelle
