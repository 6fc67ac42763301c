#include "field/card_painter.h"

#include "res/art_ids.h"

namespace corvelle {

namespace {

uint32_t ClampBack(uint32_t n) { return n < CardArt::kBacks ? n : CardArt::kBacks - 1; }

}  // namespace

void CCardPainter::DrawCardFace(HDC dc, int32_t x, int32_t y, uint32_t suit, uint32_t rank) const {
    if (suit >= CardArt::kSuits || rank >= CardArt::kRanks) return;
    const int32_t right = x + static_cast<int32_t>(cardWidth) - 1;
    const int32_t bottom = y + static_cast<int32_t>(cardHeight) - 1;
    DrawBitmap(dc, x, y, IDB_BLANK_FACE);
    DrawBitmapTransparent(dc, x, y, static_cast<uint16_t>(IDB_CARD_FACE + rank * 4 + suit), kKeyWhite);
    const auto glyph = static_cast<uint16_t>(IDB_RANK_GLYPH + rank * 2 + (IsRedFieldSuit(suit) ? 1 : 0));
    DrawBitmapTransparent(dc, x, y, glyph, kKeyWhite);
    DrawBitmapRotated(dc, right, bottom, glyph, kKeyWhite);
    const auto pip = static_cast<uint16_t>(IDB_SUIT_PIP + suit);
    DrawBitmapTransparent(dc, x, y + 20, pip, kKeyWhite);
    DrawBitmapRotated(dc, right, bottom - 20, pip, kKeyWhite);
}

void CCardPainter::DrawCardBack(HDC dc, int32_t x, int32_t y, uint32_t n) const {
    DrawBitmap(dc, x, y, static_cast<uint16_t>(IDB_CARD_BACK + 2 * ClampBack(n)));
}

void CCardPainter::DrawPileBase(HDC dc, int32_t x, int32_t y, const FieldPile& pile) const {
    const int32_t right = x + static_cast<int32_t>(cardWidth) - 1;
    const int32_t bottom = y + static_cast<int32_t>(cardHeight) - 1;
    switch (pile.baseKind) {
    case corvelle::BasePlain:
        DrawBitmapTransparent(dc, x, y, IDB_PLAIN_BASE, kKeyGreen);
        break;
    case corvelle::BaseMarked: {
        DrawBitmapTransparent(dc, x, y, IDB_MARKED_BASE, kKeyWhite);
        const uint32_t r = pile.baseValue, s = pile.baseSuit;
        // Marks outside the artwork's range are not drawn (their ids would
        // name other pictures).
        const bool hasRank = r != CardArt::kNone && r < CardArt::kRanks;
        const bool hasSuit = s != CardArt::kNone && s < CardArt::kSuits;
        if (hasRank) {
            const auto mark = static_cast<uint16_t>(IDB_MARK_RANK + r);
            DrawBitmapTransparent(dc, x, y, mark, kKeyWhite);
            DrawBitmapRotated(dc, right, bottom, mark, kKeyWhite);
            if (hasSuit) {
                DrawBitmapTransparent(dc, x, y, static_cast<uint16_t>(IDB_MARK_PICTURE + r * 4 + s), kKeyWhite);
                const auto suitMark = static_cast<uint16_t>(IDB_MARK_SUIT + s);
                DrawBitmapTransparent(dc, x, y + 20, suitMark, kKeyWhite);
                DrawBitmapRotated(dc, right, bottom - 20, suitMark, kKeyWhite);
            }
        } else if (r == CardArt::kNone && hasSuit) {
            DrawBitmapTransparent(dc, x, y, static_cast<uint16_t>(IDB_MARK_PICTURE + s), kKeyWhite);
        }
        break;
    }
    case corvelle::BasePictured:
        if ((pile.baseValue & 0xFFFF) < 2)
            DrawBitmapTransparent(dc, x, y, static_cast<uint16_t>(IDB_PICTURED_BASE + (pile.baseValue & 0xFFFF)),
                                  kKeyWhite);
        break;
    default:  // corvelle::BaseNone
        break;
    }
}

void CCardPainter::DrawSelectionFrame(HDC dc, int32_t x, int32_t y) const {
    const auto w = static_cast<int32_t>(cardWidth), h = static_cast<int32_t>(cardHeight);
    const RECT parts[] = {
        {x + 1, y + 1, x + w - 1, y + h - 1},  // inside
        {x + 3, y, x + w - 3, y + 1},          // top edge
        {x + 3, y + h - 1, x + w - 3, y + h},  // bottom edge
        {x, y + 3, x + 1, y + h - 3},          // left edge
        {x + w - 1, y + 3, x + w, y + h - 3},  // right edge
    };
    for (const RECT& r : parts) InvertRect(dc, &r);
}

CCardImageSet::CCardImageSet(HDC dc, const CCardPainter* painter, uint32_t width, uint32_t height)
    : images_(new CKeyedImage[CardArt::kFaces + CardArt::kBacks]), width_(width), height_(height) {
    for (uint32_t i = 0; i < CardArt::kFaces; ++i) {
        images_[i].Create(dc, width, height);
        painter->DrawCardFace(images_[i].GetDC(), 0, 0, i / CardArt::kRanks, i % CardArt::kRanks);
        images_[i].Seal(kKeyGreen);
    }
    for (uint32_t n = 0; n < CardArt::kBacks; ++n) {
        CKeyedImage& image = images_[CardArt::kFaces + n];
        image.Create(dc, width, height);
        painter->DrawCardBack(image.GetDC(), 0, 0, n);
        image.Seal(kKeyGreen);
    }
}

CCardImageSet::~CCardImageSet() { delete[] images_; }

void CCardImageSet::DrawFace(HDC dc, int32_t x, int32_t y, uint32_t suit, uint32_t rank) const {
    if (suit >= CardArt::kSuits || rank >= CardArt::kRanks) return;
    images_[suit * CardArt::kRanks + rank].Draw(dc, x, y);
}

void CCardImageSet::DrawBack(HDC dc, int32_t x, int32_t y, uint32_t n) const {
    images_[CardArt::kFaces + ClampBack(n)].Draw(dc, x, y);
}

}  // namespace corvelle
