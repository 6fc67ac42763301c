#include "field/card_painter.h"

#include "res/art_ids.h"

namespace corvelle {

namespace {

uint32_t ClampBack(uint32_t n) { return n < CardArt::kBacks ? n : CardArt::kBacks - 1; }

// A card face from the artwork, for any canvas that draws a bitmap plain
// (Plain), leaving out its key colour (Keyed) and turned by 180 degrees
// with (x, y) its bottom-right pixel (Turned).
template <typename Canvas>
void PaintCardFace(Canvas& canvas, int32_t x, int32_t y, uint32_t width, uint32_t height, uint32_t suit,
                   uint32_t rank) {
    const int32_t right = x + static_cast<int32_t>(width) - 1;
    const int32_t bottom = y + static_cast<int32_t>(height) - 1;
    canvas.Plain(x, y, IDB_BLANK_FACE);
    canvas.Keyed(x, y, static_cast<uint16_t>(IDB_CARD_FACE + rank * 4 + suit), kKeyWhite);
    const auto glyph = static_cast<uint16_t>(IDB_RANK_GLYPH + rank * 2 + (IsRedFieldSuit(suit) ? 1 : 0));
    canvas.Keyed(x, y, glyph, kKeyWhite);
    canvas.Turned(right, bottom, glyph, kKeyWhite);
    const auto pip = static_cast<uint16_t>(IDB_SUIT_PIP + suit);
    canvas.Keyed(x, y + 20, pip, kKeyWhite);
    canvas.Turned(right, bottom - 20, pip, kKeyWhite);
}

uint16_t CardBackArt(uint32_t n) { return static_cast<uint16_t>(IDB_CARD_BACK + 2 * ClampBack(n)); }

// The canvas of a device context: the GDI drawing helpers.
struct DcCanvas {
    HDC dc;
    void Plain(int32_t x, int32_t y, uint16_t id) { DrawBitmap(dc, x, y, id); }
    void Keyed(int32_t x, int32_t y, uint16_t id, COLORREF key) { DrawBitmapTransparent(dc, x, y, id, key); }
    void Turned(int32_t x, int32_t y, uint16_t id, COLORREF key) { DrawBitmapRotated(dc, x, y, id, key); }
};

// The canvas of one card in a 32-bit image (rows from the top): the
// artwork's pixels copied in, nothing outside the card. `art` keeps each
// bitmap read for the cards that follow. `ok` turns false when a bitmap
// cannot be read that way (the card is then drawn through GDI).
class PixelCanvas {
public:
    PixelCanvas(uint32_t* cardPixels, int32_t cx, int32_t cy, std::map<uint16_t, BitmapPixels>& artwork)
        : card(cardPixels), width(cx), height(cy), art(artwork) {}

    void Plain(int32_t x, int32_t y, uint16_t id) { Put(x, y, id, false, false, 0); }
    void Keyed(int32_t x, int32_t y, uint16_t id, COLORREF key) { Put(x, y, id, true, false, key); }
    void Turned(int32_t x, int32_t y, uint16_t id, COLORREF key) { Put(x, y, id, true, true, key); }

    bool ok = true;

private:
    void Put(int32_t x, int32_t y, uint16_t id, bool keyed, bool turned, COLORREF key) {
        auto it = art.find(id);
        if (it == art.end()) it = art.emplace(id, ReadBitmapPixels(id)).first;
        const BitmapPixels& bitmap = it->second;
        if (bitmap.pixels.empty()) {
            if (!bitmap.missing) ok = false;   // a missing bitmap draws nothing anywhere
            return;
        }
        const uint32_t k = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
        for (int32_t j = 0; j < bitmap.height; ++j) {
            const int32_t row = turned ? y - j : y + j;
            if (row < 0 || row >= height) continue;
            uint32_t* out = card + static_cast<size_t>(row) * width;
            const uint32_t* in = bitmap.pixels.data() + static_cast<size_t>(j) * bitmap.width;
            for (int32_t i = 0; i < bitmap.width; ++i) {
                const int32_t column = turned ? x - i : x + i;
                if (column < 0 || column >= width || (keyed && in[i] == k)) continue;
                out[column] = in[i];
            }
        }
    }

    uint32_t* card;
    int32_t width;
    int32_t height;
    std::map<uint16_t, BitmapPixels>& art;
};

}  // namespace

void CCardPainter::DrawCardFace(HDC dc, int32_t x, int32_t y, uint32_t suit, uint32_t rank) const {
    if (suit >= CardArt::kSuits || rank >= CardArt::kRanks) return;
    DcCanvas canvas{dc};
    PaintCardFace(canvas, x, y, cardWidth, cardHeight, suit, rank);
}

void CCardPainter::DrawCardBack(HDC dc, int32_t x, int32_t y, uint32_t n) const {
    DrawBitmap(dc, x, y, CardBackArt(n));
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

CCardImageSet::CCardImageSet(HDC dc, const CCardPainter* cardPainter, uint32_t cx, uint32_t cy)
    : painter(cardPainter), width(cx), height(cy) {
    images.Create(dc, cx, cy * kCards);
}

void CCardImageSet::Compose(uint32_t index) const {
    composed.set(index);
    if (!images.GetBits()) return;
    const bool face = index < CardArt::kFaces;
    const auto w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
    const int32_t top = static_cast<int32_t>(index) * h;
    PixelCanvas canvas(images.GetBits() + static_cast<size_t>(top) * width, w, h, art);
    if (face)
        PaintCardFace(canvas, 0, 0, width, height, index / CardArt::kRanks, index % CardArt::kRanks);
    else
        canvas.Plain(0, 0, CardBackArt(index - CardArt::kFaces));
    if (!canvas.ok) {
        // Artwork in another format: this card through GDI, kept to its place.
        HDC image = images.GetDC();
        const int saved = ::SaveDC(image);
        ::IntersectClipRect(image, 0, top, w, top + h);
        if (face)
            painter->DrawCardFace(image, 0, top, index / CardArt::kRanks, index % CardArt::kRanks);
        else
            painter->DrawCardBack(image, 0, top, index - CardArt::kFaces);
        ::RestoreDC(image, saved);
    }
    images.SealRows(kKeyGreen, top, h);
    if (composed.all()) art.clear();
}

CCardImageSet::~CCardImageSet() = default;

void CCardImageSet::DrawCard(HDC dc, int32_t x, int32_t y, uint32_t index) const {
    if (!composed.test(index)) Compose(index);
    images.DrawPart(dc, x, y, 0, static_cast<int32_t>(index * height), static_cast<int32_t>(width),
                     static_cast<int32_t>(height));
}

void CCardImageSet::DrawFace(HDC dc, int32_t x, int32_t y, uint32_t suit, uint32_t rank) const {
    if (suit >= CardArt::kSuits || rank >= CardArt::kRanks) return;
    DrawCard(dc, x, y, suit * CardArt::kRanks + rank);
}

void CCardImageSet::DrawBack(HDC dc, int32_t x, int32_t y, uint32_t n) const {
    DrawCard(dc, x, y, CardArt::kFaces + ClampBack(n));
}

}  // namespace corvelle
