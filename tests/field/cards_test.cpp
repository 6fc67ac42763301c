// Card faces, backs and pile bases composed by CCardPainter and rendered by
// CCardImageSet; the contact sheet of all of them.
#include <gtest/gtest.h>

#include <memory>

#include "field/card_painter.h"
#include "field/field_test_support.h"
#include "res/art_ids.h"

using namespace corvelle;

namespace {

constexpr int kW = 79;
constexpr int kH = 112;
constexpr COLORREF kTable = RGB(0, 128, 0);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

CCardPainter Painter() {
    CCardPainter p;
    p.cardWidth = kW;
    p.cardHeight = kH;
    return p;
}

// The pixels left out by the rounded corners: three along each edge from
// every corner, counting the corner pixel once.
bool OutsideCorner(int x, int y) {
    int dx = std::min(x, kW - 1 - x), dy = std::min(y, kH - 1 - y);
    return (dy == 0 && dx < 3) || (dx == 0 && dy < 3);
}

// The non-key pixels of `art` appear at (x + i, y + j), or turned at
// (x - i, y - j).
void ExpectPlaced(const Surface& s, const ArtPixels& art, int x, int y, bool turned, const char* what) {
    ASSERT_FALSE(art.IsEmpty()) << what;
    for (int j = 0; j < art.height; ++j)
        for (int i = 0; i < art.width; ++i) {
            if (art.At(i, j) == kKeyWhite) continue;
            int px = turned ? x - i : x + i, py = turned ? y - j : y + j;
            ASSERT_EQ(s.At(px, py), art.At(i, j)) << what << " pixel " << i << "," << j << (turned ? " turned" : "");
        }
}

struct Ink {
    int red = 0, dark = 0;
};
Ink InkOf(const ArtPixels& art) {
    Ink ink;
    for (COLORREF c : art.pixels) {
        int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        if (r > 150 && g < 80 && b < 80) ++ink.red;
        if (r < 60 && g < 60 && b < 60) ++ink.dark;
    }
    return ink;
}

TEST(CardPainter, FacesHaveKeyedCornersAndNoKeyInside) {
    CCardPainter painter = Painter();
    for (uint32_t suit = 0; suit < 4; ++suit)
        for (uint32_t rank = 0; rank < 13; ++rank) {
            Surface s(kW, kH, kSentinel);
            painter.DrawCardFace(s.GetDC(), 0, 0, suit, rank);
            std::vector<COLORREF> px = s.Pixels();
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    COLORREF c = px[static_cast<size_t>(y) * kW + x];
                    if (OutsideCorner(x, y)) ASSERT_EQ(c, kKeyGreen) << suit << "/" << rank << " at " << x << "," << y;
                    else ASSERT_TRUE(c != kKeyGreen && c != kSentinel) << suit << "/" << rank << " at " << x << "," << y;
                }
        }
}

TEST(CardPainter, IndexUprightTopLeftAndTurnedBottomRight) {
    CCardPainter painter = Painter();
    for (uint32_t suit = 0; suit < 4; ++suit) {
        ArtPixels pip = ReadArt(static_cast<uint16_t>(IDB_SUIT_PIP + suit));
        for (uint32_t rank = 0; rank < 13; ++rank) {
            ArtPixels glyph = ReadArt(static_cast<uint16_t>(IDB_RANK_GLYPH + rank * 2 + suit / 2));
            Surface s(kW, kH, kSentinel);
            painter.DrawCardFace(s.GetDC(), 0, 0, suit, rank);
            ExpectPlaced(s, glyph, 0, 0, false, "rank");
            ExpectPlaced(s, glyph, kW - 1, kH - 1, true, "rank");
            ExpectPlaced(s, pip, 0, 20, false, "suit");
            ExpectPlaced(s, pip, kW - 1, kH - 21, true, "suit");
            // Clubs and spades are black, diamonds and hearts red.
            Ink ink = InkOf(glyph);
            if (suit >= 2) EXPECT_TRUE(ink.red > 15 && ink.dark == 0) << suit << "/" << rank;
            else EXPECT_TRUE(ink.dark > 15 && ink.red == 0) << suit << "/" << rank;
        }
        Ink pipInk = InkOf(pip);
        EXPECT_GT(suit >= 2 ? pipInk.red : pipInk.dark, 15) << suit;
    }
}

TEST(FieldNumbering, SuitsAndRanksAreTheEnginesLessOneInArtworkOrder) {
    const char letters[] = "CSDH";
    for (uint32_t suit = 0; suit < 4; ++suit) {
        EXPECT_EQ(corvelle::SuitLetter(EngineSuit(suit)), letters[suit]);
        EXPECT_EQ(FieldSuit(EngineSuit(suit)), suit);
        EXPECT_EQ(IsRedFieldSuit(suit), suit >= 2) << suit;
    }
    EXPECT_EQ(FieldSuit(corvelle::SuitClubs), 0u);
    EXPECT_EQ(FieldSuit(corvelle::SuitHearts), 3u);
    EXPECT_EQ(FieldRank(1), 0u);
    EXPECT_EQ(FieldRank(13), 12u);
}

TEST(CardPainter, CardPicturesAreDistinct) {
    // Every face picture differs from every other (the court pictures too).
    std::vector<std::vector<COLORREF>> seen;
    for (uint16_t id = IDB_CARD_FACE; id < IDB_CARD_FACE + 52; ++id) {
        ArtPixels art = ReadArt(id);
        ASSERT_EQ(art.width, kW) << id;
        ASSERT_EQ(art.height, kH) << id;
        for (const auto& other : seen) ASSERT_NE(art.pixels, other) << id;
        seen.push_back(art.pixels);
    }
}

TEST(CardPainter, SelectionFrameInvertsAllButTheCornersAndUndoesItself) {
    CCardPainter painter = Painter();
    Surface s(kW + 4, kH + 4, kTable);
    painter.DrawCardFace(s.GetDC(), 2, 2, 3, 11);
    std::vector<COLORREF> before = s.Pixels();
    painter.DrawSelectionFrame(s.GetDC(), 2, 2);
    std::vector<COLORREF> after = s.Pixels();
    for (int y = 0; y < kH + 4; ++y)
        for (int x = 0; x < kW + 4; ++x) {
            size_t k = static_cast<size_t>(y) * (kW + 4) + x;
            bool onCard = x >= 2 && y >= 2 && x < kW + 2 && y < kH + 2;
            bool inverted = onCard && !OutsideCorner(x - 2, y - 2);
            ASSERT_EQ(after[k], inverted ? (before[k] ^ 0xFFFFFF) : before[k]) << x << "," << y;
        }
    painter.DrawSelectionFrame(s.GetDC(), 2, 2);
    EXPECT_EQ(s.Pixels(), before);
}

class CardImageSetTest : public ::testing::Test {
protected:
    CardImageSetTest() : buffer(kW, kH, kTable), painter(Painter()) {
        images = std::make_unique<CCardImageSet>(buffer.GetDC(), &painter, kW, kH);
    }
    Surface buffer;
    CCardPainter painter;
    std::unique_ptr<CCardImageSet> images;
};

TEST_F(CardImageSetTest, FacesMatchThePainterWithTheCornersLeftOut) {
    for (uint32_t suit = 0; suit < 4; ++suit)
        for (uint32_t rank = 0; rank < 13; ++rank) {
            Surface painted(kW, kH, kSentinel), image(kW, kH, kSentinel);
            painter.DrawCardFace(painted.GetDC(), 0, 0, suit, rank);
            images->DrawFace(image.GetDC(), 0, 0, suit, rank);
            std::vector<COLORREF> want = painted.Pixels(), got = image.Pixels();
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    size_t k = static_cast<size_t>(y) * kW + x;
                    ASSERT_EQ(got[k], OutsideCorner(x, y) ? kSentinel : want[k]) << suit << "/" << rank << " " << x << "," << y;
                }
        }
}

TEST_F(CardImageSetTest, CardsOutsideTheDeckDrawNothing) {
    Surface s(kW, kH, kSentinel);
    images->DrawFace(s.GetDC(), 0, 0, 4, 0);
    images->DrawFace(s.GetDC(), 0, 0, 0, 13);
    images->DrawFace(s.GetDC(), 0, 0, 0xFFFFFFFF, 0xFFFFFFFF);
    painter.DrawCardFace(s.GetDC(), 0, 0, 5, 15);
    for (COLORREF c : s.Pixels()) ASSERT_EQ(c, kSentinel);
}

TEST_F(CardImageSetTest, BacksComeFromTheirBitmapsAndLargeChoicesUseTheLast) {
    // The artwork has one back: no other picture is ever drawn as one.
    ASSERT_EQ(CardArt::kBacks, 1u);
    for (uint32_t n = 0; n < CardArt::kBacks; ++n) {
        ArtPixels art = ReadArt(static_cast<uint16_t>(IDB_CARD_BACK + 2 * n));
        Surface s(kW, kH, kSentinel);
        images->DrawBack(s.GetDC(), 0, 0, n);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                COLORREF src = art.At(x, y);
                ASSERT_EQ(s.At(x, y), src == kKeyGreen ? kSentinel : src) << n << " " << x << "," << y;
            }
    }
    // The card back proper has the rounded corners and no key inside.
    ArtPixels back = ReadArt(IDB_CARD_BACK);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) ASSERT_EQ(back.At(x, y) == kKeyGreen, OutsideCorner(x, y)) << x << "," << y;
    // A "cardBack" choice past the last back shows the last back.
    Surface last(kW, kH, kSentinel);
    images->DrawBack(last.GetDC(), 0, 0, CardArt::kBacks - 1);
    for (uint32_t n : {1u, 2u, 3u, 4u, 7u, 1000u, 0xFFFFFFFFu}) {
        Surface s(kW, kH, kSentinel);
        images->DrawBack(s.GetDC(), 0, 0, n);
        EXPECT_EQ(s.Pixels(), last.Pixels()) << n;
        Surface p(kW, kH, kSentinel);
        painter.DrawCardBack(p.GetDC(), 0, 0, n);
        Surface q(kW, kH, kSentinel);
        painter.DrawCardBack(q.GetDC(), 0, 0, CardArt::kBacks - 1);
        EXPECT_EQ(p.Pixels(), q.Pixels()) << n;
    }
}

FieldPile Base(uint32_t kind, uint32_t value, uint32_t suit) {
    FieldPile pile{};
    pile.baseKind = kind;
    pile.baseValue = value;
    pile.baseSuit = suit;
    pile.visible = 1;
    return pile;
}

std::vector<COLORREF> DrawBase(const CCardPainter& painter, const FieldPile& pile) {
    Surface s(kW, kH, kTable);
    painter.DrawPileBase(s.GetDC(), 0, 0, pile);
    return s.Pixels();
}

std::vector<COLORREF> Keyed(std::initializer_list<std::pair<uint16_t, COLORREF>> layers) {
    Surface s(kW, kH, kTable);
    for (const auto& [id, key] : layers) DrawBitmapTransparent(s.GetDC(), 0, 0, id, key);
    return s.Pixels();
}

TEST(CardPainter, PileBasesByKind) {
    CCardPainter painter = Painter();
    const std::vector<COLORREF> table = Keyed({});
    // Plain base: the outline keyed on green; its corners show the table.
    std::vector<COLORREF> plain = DrawBase(painter, Base(corvelle::BasePlain, 0, 0));
    EXPECT_EQ(plain, Keyed({{IDB_PLAIN_BASE, kKeyGreen}}));
    EXPECT_NE(plain, table);
    EXPECT_EQ(plain[0], kTable);
    EXPECT_EQ(plain[static_cast<size_t>(kH / 2) * kW + kW / 2], kTable);  // hollow middle
    // No base.
    EXPECT_EQ(DrawBase(painter, Base(corvelle::BaseNone, 0, 0)), table);
    // Pictured bases: values 0 and 1 (low 16 bits), nothing for 2 and above.
    EXPECT_EQ(DrawBase(painter, Base(corvelle::BasePictured, 0, 0)), Keyed({{IDB_PICTURED_BASE, kKeyWhite}}));
    EXPECT_EQ(DrawBase(painter, Base(corvelle::BasePictured, 1, 0)), Keyed({{IDB_PICTURED_BASE + 1, kKeyWhite}}));
    EXPECT_EQ(DrawBase(painter, Base(corvelle::BasePictured, 0x10001, 0)), Keyed({{IDB_PICTURED_BASE + 1, kKeyWhite}}));
    EXPECT_EQ(DrawBase(painter, Base(corvelle::BasePictured, 2, 0)), table);
    EXPECT_NE(DrawBase(painter, Base(corvelle::BasePictured, 0, 0)), DrawBase(painter, Base(corvelle::BasePictured, 1, 0)));
    // Marked base without marks: the outline alone.
    const std::vector<COLORREF> outline = Keyed({{IDB_MARKED_BASE, kKeyWhite}});
    EXPECT_NE(outline, table);
    EXPECT_EQ(DrawBase(painter, Base(corvelle::BaseMarked, CardArt::kNone, CardArt::kNone)), outline);
    // Suit without rank: the suit's picture only, no suit marks.
    EXPECT_EQ(DrawBase(painter, Base(corvelle::BaseMarked, CardArt::kNone, 2)),
              Keyed({{IDB_MARKED_BASE, kKeyWhite}, {IDB_MARK_PICTURE + 2, kKeyWhite}}));
    // Rank marks out of range draw only the outline.
    EXPECT_EQ(DrawBase(painter, Base(corvelle::BaseMarked, 13, 1)), outline);
}

TEST(CardPainter, MarkedBaseCarriesItsMarksInBothCorners) {
    CCardPainter painter = Painter();
    Surface rankOnly(kW, kH, kTable), both(kW, kH, kTable);
    painter.DrawPileBase(rankOnly.GetDC(), 0, 0, Base(corvelle::BaseMarked, 6, CardArt::kNone));
    painter.DrawPileBase(both.GetDC(), 0, 0, Base(corvelle::BaseMarked, 6, 3));
    ArtPixels rank = ReadArt(IDB_MARK_RANK + 6), suit = ReadArt(IDB_MARK_SUIT + 3);
    for (Surface* s : {&rankOnly, &both}) {
        ExpectPlaced(*s, rank, 0, 0, false, "rank mark");
        ExpectPlaced(*s, rank, kW - 1, kH - 1, true, "rank mark");
    }
    ExpectPlaced(both, suit, 0, 20, false, "suit mark");
    ExpectPlaced(both, suit, kW - 1, kH - 21, true, "suit mark");
    // Without a suit the middle stays empty.
    EXPECT_EQ(rankOnly.At(kW / 2 - 13, 43), kTable);
    EXPECT_NE(rankOnly.Pixels(), both.Pixels());
}

TEST(ContactSheet, EveryFaceBackAndBase) {
    // 13 columns; four rows of faces (clubs, spades, diamonds, hearts), then
    // the backs, a highlighted card and the bases.
    const int gapX = 6, gapY = 8, margin = 8;
    const int width = margin * 2 + 13 * kW + 12 * gapX, height = margin * 2 + 5 * kH + 4 * gapY;
    Surface sheet(width, height, kTable);
    CCardPainter painter = Painter();
    CCardImageSet images(sheet.GetDC(), &painter, kW, kH);
    auto at = [&](int col, int row) { return POINT{margin + col * (kW + gapX), margin + row * (kH + gapY)}; };
    for (uint32_t suit = 0; suit < 4; ++suit)
        for (uint32_t rank = 0; rank < 13; ++rank) {
            POINT p = at(static_cast<int>(rank), static_cast<int>(suit));
            images.DrawFace(sheet.GetDC(), p.x, p.y, suit, rank);
        }
    int col = 0;
    for (uint32_t n = 0; n < CardArt::kBacks; ++n, ++col) images.DrawBack(sheet.GetDC(), at(col, 4).x, at(col, 4).y, n);
    POINT sel = at(col++, 4);
    images.DrawFace(sheet.GetDC(), sel.x, sel.y, 3, 0);
    painter.DrawSelectionFrame(sheet.GetDC(), sel.x, sel.y);
    const FieldPile bases[] = {Base(corvelle::BasePlain, 0, 0),         Base(corvelle::BaseMarked, CardArt::kNone, CardArt::kNone),
                               Base(corvelle::BaseMarked, 0, CardArt::kNone), Base(corvelle::BaseMarked, 12, 3),
                               Base(corvelle::BaseMarked, CardArt::kNone, 1), Base(corvelle::BasePictured, 0, 0),
                               Base(corvelle::BasePictured, 1, 0)};
    for (const FieldPile& b : bases) {
        POINT p = at(col++, 4);
        painter.DrawPileBase(sheet.GetDC(), p.x, p.y, b);
    }
    ASSERT_LE(col, 13);
    ASSERT_TRUE(sheet.WriteBmp(CORVELLE_CONTACT_SHEET)) << CORVELLE_CONTACT_SHEET;
}

}  // namespace
