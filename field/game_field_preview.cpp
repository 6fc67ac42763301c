#include "field/game_field_preview.h"

#include "field/preview_cache.h"
#include "field/sol_game_field.h"
#include "platform/bmp_codec.h"
#include "platform/drawing.h"
#include "platform/image_gdi.h"
#include "platform/resample.h"

namespace corvelle {

PixelImage CSolGameFieldPreview::RenderThumbnail(CSolGameField& field, COLORREF colour, uint8_t picture,
                                                 uint8_t position) {
    const PixelImage full = field.RenderField(kPreviewFieldWidth, kPreviewFieldHeight, colour, picture, position);
    return ResampleImage(full, kPreviewWidth, kPreviewHeight);
}

void CSolGameFieldPreview::RenderPreview(CSolGameField& field, HDC target, const RECT* rect, COLORREF colour,
                                         uint8_t picture, uint8_t position, CPreviewImageCache* cache, uint32_t key) {
    const PixelImage thumbnail = RenderThumbnail(field, colour, picture, position);
    if (thumbnail.IsEmpty()) return;
    if (target && rect) DrawImageStretched(target, thumbnail, *rect);
    if (!cache) return;
    uint8_t* data = nullptr;
    size_t size = 0;
    if (EncodeBmp(thumbnail, &data, &size)) cache->Add(key, data, static_cast<uint32_t>(size));
}

bool CSolGameFieldPreview::DrawCached(HDC dc, const RECT& r, uint32_t key) {
    CPreviewImageCache* cache = source.cache;
    uint32_t index = 0;
    if (!cache || !cache->Find(key, &index)) return false;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    PixelImage image;
    if (!cache->GetAt(index, nullptr, &data, &size) || !DecodeBmp(data, size, &image)) {
        cache->RemoveAt(index);
        return false;
    }
    DrawImageStretched(dc, image, r);
    return true;
}

BOOL CSolGameFieldPreview::DrawItem(DRAWITEMSTRUCT* item) {
    const RECT whole = item->rcItem;
    RECT inner = whole;
    ::InflateRect(&inner, -1, -1);
    const uint32_t key = source.currentGame ? source.currentGame() : 0;
    if (!needsRender && !DrawCached(item->hDC, whole, key)) needsRender = true;
    if (needsRender) {
        CSolGameField* field = source.field ? source.field() : nullptr;
        if (field) {
            RenderPreview(*field, item->hDC, &inner, colour, picture, position, source.cache, key);
            rendered = true;
            renderedKey = key;
        } else {
            ::FillRect(item->hDC, &whole, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        }
        needsRender = false;
    }
    DrawFrame(item->hDC, &whole, RGB(0, 0, 0), RGB(0, 0, 0));
    return TRUE;
}

void CSolGameFieldPreview::ForgetRendered() {
    if (rendered && source.cache) source.cache->Remove(renderedKey);
    rendered = false;
    needsRender = true;
}

}  // namespace corvelle
