// Painting the field through its back buffer: the background, the piles in
// draw order and the peeked card, recording the hit regions as it goes; and
// the game drawn alone on a field of any size, the previews' source.
#include "engine/records.h"
#include "field/sol_game_field.h"
#include "logic/preferences.h"
#include "platform/image_gdi.h"
#include "platform/resample.h"
#include "res/art_ids.h"

namespace corvelle {

// A minimised or collapsed field has no area: no buffer is made, and
// nothing is drawn until it has one again.
void CSolGameField::CreateBackBuffer() { backBuffer.Create(hwnd); }

void CSolGameField::FreeBackBuffer() { backBuffer.Destroy(); }

const PixelImage& CSolGameField::FieldPicture() {
    if (!pictureRead) {
        pictureRead = true;
        HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_FIELD_PICTURE),
                                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bitmap) {
            ImageFromBitmap(bitmap, &picture);
            ::DeleteObject(bitmap);
        }
    }
    return picture;
}

void CSolGameField::PaintBackgroundTo(HDC dc, int32_t width, int32_t height, COLORREF colour, uint8_t pictureMode,
                                      uint8_t position, PixelImage* scaled, bool* scaledValid) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    const RECT all{0, 0, width, height};
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    if (pictureMode != 1) return;
    const PixelImage& image = FieldPicture();
    if (image.IsEmpty()) return;   // no picture: the colour alone
    switch (position) {
    case 0:   // centred; a smaller field shows the middle part
        DrawImage(dc, image, (width - image.width) / 2, (height - image.height) / 2);
        break;
    case 1:   // tiled from the top-left corner
        for (int32_t y = 0; y < height; y += image.height)
            for (int32_t x = 0; x < width; x += image.width) DrawImage(dc, image, x, y);
        break;
    case 2:   // stretched over the field, resampled once per size
        if (!*scaledValid) {
            *scaled = ResampleImage(image, width, height);
            *scaledValid = true;
        }
        DrawImage(dc, *scaled, 0, 0);
        break;
    default:
        break;
    }
}

void CSolGameField::PaintBackground() {
    const COLORREF colour = prefs ? prefs->bgColor : kDefaultBgColor;
    PaintBackgroundTo(backBuffer.GetDC(), GetDrawWidth(), GetDrawHeight(), colour, prefs ? prefs->bgPicture : 0,
                      prefs ? prefs->bgPicturePosition : 0, &scaledPicture, &scaledPictureValid);
}

void CSolGameField::PaintToBackBuffer() {
    RECT r{};
    GetClientRect(&r);
    if (!::EqualRect(&r, &GetFieldRect())) {
        CreateBackBuffer();
        DiscardScaledPicture();
    }
    if (!backBuffer.GetDC() || !backBuffer.IsStale()) return;
    PaintBackground();
    if (!images) {
        backBuffer.Painted();
        return;
    }
    if (!hitRegions.recordingSuspended) hitRegions.Reset();
    DrawField(backBuffer.GetDC(), GetDrawWidth(), GetDrawHeight(), input.GetPeekPile(), input.GetPeekIndex());
    backBuffer.Painted();
}

POINT CSolGameField::GetBufferCorner() const { return POINT{GetFieldRect().left, GetFieldRect().top}; }

void CSolGameField::PresentBackBuffer(HDC dc) const { backBuffer.BlitTo(dc, GetBufferCorner()); }

void CSolGameField::PresentNow() {
    if (hwnd) backBuffer.ShowIn(hwnd, GetBufferCorner());
}

void CSolGameField::Redraw() {
    if (!hwnd) return;
    SetFullRepaint();
    PaintToBackBuffer();
    PresentNow();
}

void CSolGameField::OnPaint() {
    PaintToBackBuffer();
    backBuffer.ShowOnPaint(hwnd, GetBufferCorner());
}

BOOL CSolGameField::OnEraseBkgnd(HDC) { return TRUE; }   // the paint covers every pixel

void CSolGameField::DrawCard(HDC dc, const FieldCard& card, int32_t x, int32_t y) const {
    if (card.faceUp)
        images->DrawFace(dc, x, y, card.suit, card.rank);
    else
        images->DrawBack(dc, x, y, GetCardBack());
}

void CSolGameField::DrawField(HDC dc, int32_t width, int32_t height, uint16_t peekPile, uint16_t peekIndex) {
    LayOutField(layout, drawOrder, width, height, peekPile, peekIndex, spots);
    const uint32_t selectedPile = input.GetSelectedPile(), selectedIndex = input.GetSelectedIndex();
    for (const FieldSpot& f : spots) {
        const FieldPile& pile = layout.piles[f.pile];
        const CardSpot& s = f.spot;
        if (s.index < 0) {
            if (pile.baseKind != BaseNone) {
                painter.DrawPileBase(dc, s.x, s.y, pile);
                if (f.pile == selectedPile) painter.DrawSelectionFrame(dc, s.x, s.y);
            }
        } else {
            DrawCard(dc, pile.cards[static_cast<size_t>(s.index)], s.x, s.y);
            if (f.pile == selectedPile && static_cast<uint32_t>(s.index) == selectedIndex)
                painter.DrawSelectionFrame(dc, s.x, s.y);
        }
        if (s.hit && !hitRegions.recordingSuspended)
            hitRegions.AddRegion(s.x, s.y, f.pile, static_cast<int16_t>(s.index));
    }
}

PixelImage CSolGameField::RenderField(int32_t width, int32_t height, COLORREF colour, uint8_t pictureMode,
                                      uint8_t position) {
    PixelImage result;
    if (!hwnd || width <= 0 || height <= 0) return result;
    HDC windowDc = ::GetDC(hwnd);
    HDC dc = ::CreateCompatibleDC(windowDc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(windowDc, width, height);
    ::ReleaseDC(hwnd, windowDc);
    if (dc && bitmap) {
        HGDIOBJ previous = ::SelectObject(dc, bitmap);
        // The stretched picture is made for this size only and not kept.
        PixelImage scaled;
        bool scaledValid = false;
        PaintBackgroundTo(dc, width, height, colour, pictureMode, position, &scaled, &scaledValid);
        if (images) {
            const bool suspended = hitRegions.recordingSuspended;
            hitRegions.recordingSuspended = true;
            DrawField(dc, width, height, kFieldNone, kFieldNone);
            hitRegions.recordingSuspended = suspended;
        }
        ::SelectObject(dc, previous);
        ImageFromBitmap(bitmap, &result);
    }
    if (bitmap) ::DeleteObject(bitmap);
    if (dc) ::DeleteDC(dc);
    return result;
}

}  // namespace corvelle
