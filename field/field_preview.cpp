// Thumbnails of the field's game: drawn on a fixed-size field, scaled down
// with the platform's resampler and kept as BMP files in the preview cache.
#include <cstdlib>

#include "field/preview_cache.h"
#include "field/sol_game_field.h"
#include "platform/bmp_codec.h"
#include "platform/image_gdi.h"
#include "platform/resample.h"

namespace corvelle {

PixelImage CSolGameField::RenderField(int32_t width, int32_t height, COLORREF colour, uint8_t picture,
                                      uint8_t position) {
    PixelImage result;
    if (!hwnd_ || width <= 0 || height <= 0) return result;
    HDC windowDc = ::GetDC(hwnd_);
    HDC dc = ::CreateCompatibleDC(windowDc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(windowDc, width, height);
    ::ReleaseDC(hwnd_, windowDc);
    if (dc && bitmap) {
        HGDIOBJ previous = ::SelectObject(dc, bitmap);
        // The stretched picture is made for this size only and not kept.
        PixelImage scaled;
        bool scaledValid = false;
        PaintBackgroundTo(dc, width, height, colour, picture, position, &scaled, &scaledValid);
        if (images_) {
            const bool suspended = hitRegions_.recordingSuspended;
            hitRegions_.recordingSuspended = true;
            for (uint16_t pile : drawOrder_) DrawPile(pile, dc, width, height);
            hitRegions_.recordingSuspended = suspended;
        }
        ::SelectObject(dc, previous);
        ImageFromBitmap(bitmap, &result);
    }
    if (bitmap) ::DeleteObject(bitmap);
    if (dc) ::DeleteDC(dc);
    return result;
}

PixelImage CSolGameField::RenderThumbnail(COLORREF colour, uint8_t picture, uint8_t position) {
    const PixelImage full = RenderField(kPreviewFieldWidth, kPreviewFieldHeight, colour, picture, position);
    return ResampleImage(full, kPreviewWidth, kPreviewHeight);
}

void CSolGameField::RenderPreview(HDC target, const RECT* rect, COLORREF colour, uint8_t picture, uint8_t position,
                                  CPreviewImageCache* cache, uint32_t key) {
    const PixelImage thumbnail = RenderThumbnail(colour, picture, position);
    if (thumbnail.Empty()) return;
    if (target && rect) DrawImageStretched(target, thumbnail, *rect);
    if (!cache) return;
    uint8_t* data = nullptr;
    size_t size = 0;
    if (EncodeBmp(thumbnail, &data, &size)) cache->Add(key, data, static_cast<uint32_t>(size));
}

}  // namespace corvelle
