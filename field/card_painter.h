// Card faces, backs, pile bases and the selection highlight composed from
// the bitmap resources, and the 56 pre-rendered card images.
#pragma once

#include <windows.h>

#include <bitset>
#include <cstdint>
#include <map>

#include "field/field_model.h"
#include "platform/drawing.h"

namespace corvelle {

// Counts of the card artwork (its bitmap ids are in res/art_ids.h) and the
// value that names no mark.
namespace CardArt {
constexpr uint32_t kSuits = 4;
constexpr uint32_t kRanks = 13;
constexpr uint32_t kFaces = kSuits * kRanks;
constexpr uint32_t kBacks = 1;   // the artwork has one back
constexpr uint32_t kNone = kNoMark;
}  // namespace CardArt

class CCardPainter {
public:
    uint32_t cardWidth = 0;
    uint32_t cardHeight = 0;

    // suit and rank are the field's (FieldSuit, FieldRank).
    void DrawCardFace(HDC dc, int32_t x, int32_t y, uint32_t suit, uint32_t rank) const;
    // Back n (0 .. kBacks - 1; larger values draw the last back).
    void DrawCardBack(HDC dc, int32_t x, int32_t y, uint32_t n) const;
    void DrawPileBase(HDC dc, int32_t x, int32_t y, const FieldPile& pile) const;
    // Inverts the card's area except the pixels outside its rounded corners;
    // drawing it twice restores the card.
    void DrawSelectionFrame(HDC dc, int32_t x, int32_t y) const;
};

// The 52 faces (index suit * 13 + rank) and the backs (52 + n), one below
// the other in one memory image, drawn with the green key, which leaves out
// the pixels outside the rounded corners. The image is made at once (its
// GDI objects do not change afterwards); each card is composed into it the
// first time it is drawn, from the artwork's pixels as the painter draws
// them (through GDI only for artwork in another format).
class CCardImageSet {
public:
    CCardImageSet(HDC dc, const CCardPainter* painter, uint32_t width, uint32_t height);
    ~CCardImageSet();
    CCardImageSet(const CCardImageSet&) = delete;
    CCardImageSet& operator=(const CCardImageSet&) = delete;

    // Cards outside the 52 draw nothing.
    void DrawFace(HDC dc, int32_t x, int32_t y, uint32_t suit, uint32_t rank) const;
    // Back n; a choice past the last back draws the last back.
    void DrawBack(HDC dc, int32_t x, int32_t y, uint32_t n) const;
    // The card size the images were made for.
    uint32_t GetWidth() const { return width; }
    uint32_t GetHeight() const { return height; }

private:
    static constexpr uint32_t kCards = CardArt::kFaces + CardArt::kBacks;
    void DrawCard(HDC dc, int32_t x, int32_t y, uint32_t index) const;
    void Compose(uint32_t index) const;

    const CCardPainter* painter;
    uint32_t width;
    uint32_t height;
    mutable CKeyedImage images;
    // Composing: which cards are done, and the artwork read so far (let go
    // once every card is done).
    mutable std::bitset<kCards> composed;
    mutable std::map<uint16_t, BitmapPixels> art;
};

}  // namespace corvelle
