// Card faces, glyphs, backs and pile bases (all 79 x 112 card pictures and
// their corner glyphs).
#include <cmath>
#include <string>

#include "art.h"
#include "res/art_ids.h"

namespace art {

namespace {

constexpr int kW = 79;
constexpr int kH = 112;
// Every card picture is symmetric under a half turn about this point.
constexpr double kCx = kW / 2.0;
constexpr double kCy = kH / 2.0;
constexpr double kPi = 3.14159265358979323846;

// The frame of the court pictures (pixel columns and rows, inclusive).
constexpr int kFrameX0 = 16, kFrameX1 = 62, kFrameY0 = 6, kFrameY1 = 105;

const char* const kRankText[kRanks] = {"A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"};
const char* const kSuitName[kSuits] = {"clubs", "spades", "diamonds", "hearts"};
const char* const kRankName[kRanks] = {"ace", "2", "3", "4", "5", "6", "7", "8", "9", "10", "jack", "queen", "king"};

Color White() { return Rgb(255, 255, 255); }
// The light green of the marked bases, meant for the default table colour.
Color Ghost() { return Rgb(120, 196, 120); }
Color Outline() { return Rgb(34, 34, 38); }

void Pip(Canvas& c, int suit, double cx, double cy, double height, Color color, bool turned = false) {
    Affine m = Affine::Translate(cx, cy) * Affine::Scale(height, height);
    if (turned) m = m * Affine::Rotate(kPi);
    c.Fill(SuitShape(suit).Transformed(m), color);
}

// --- the card outline ------------------------------------------------------

// Pixels outside the rounded corner of a card: (0,0), (1,0), (2,0), (0,1),
// (0,2) and their mirror images in the other corners.
bool OutsideCorner(int x, int y) {
    int dx = std::min(x, kW - 1 - x), dy = std::min(y, kH - 1 - y);
    return (dy == 0 && dx < 3) || (dx == 0 && dy < 3);
}

// A one-pixel outline following the rounded corners, and the key colour
// outside them.
void CardEdge(Image& img, uint32_t outline, uint32_t soft) {
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            int dx = std::min(x, kW - 1 - x), dy = std::min(y, kH - 1 - y);
            if (OutsideCorner(x, y)) {
                img.Put(x, y, kKeyGreen);
            } else if (dx == 0 || dy == 0 || (dx == 1 && dy == 1)) {
                img.Put(x, y, outline);
            } else if ((dx == 1 && dy == 2) || (dx == 2 && dy == 1)) {
                img.Put(x, y, soft);
            }
        }
    }
}

// Copies the top half of the frame, turned by 180 degrees, onto the bottom
// half, so that court pictures read the same from both ends.
void MirrorHalf(Canvas& c) {
    for (int y = (kFrameY0 + kFrameY1 + 1) / 2; y <= kFrameY1; ++y)
        for (int x = kFrameX0; x <= kFrameX1; ++x) c.At(x, y) = c.At(kW - 1 - x, kH - 1 - y);
}

// --- pip cards ----------------------------------------------------------------

// Pip centres of the number cards: three columns, rows symmetric about the
// card's middle.
constexpr double kColL = 26.5, kColM = 39.5, kColR = 52.5;
constexpr double kRow[4] = {17, 43, 69, 95};

void PipLayout(Canvas& c, int suit, int rank, Color color) {
    struct P {
        double x, y;
    };
    std::vector<P> pips;
    auto side = [&](std::initializer_list<double> rows) {
        for (double y : rows) {
            pips.push_back({kColL, y});
            pips.push_back({kColR, y});
        }
    };
    auto centre = [&](std::initializer_list<double> rows) {
        for (double y : rows) pips.push_back({kColM, y});
    };
    const double top = kRow[0], bottom = kRow[3], mid = kCy;
    switch (rank + 1) {
    case 2: centre({top, bottom}); break;
    case 3: centre({top, mid, bottom}); break;
    case 4: side({top, bottom}); break;
    case 5: side({top, bottom}); centre({mid}); break;
    case 6: side({top, mid, bottom}); break;
    case 7: side({top, mid, bottom}); centre({36}); break;
    case 8: side({top, mid, bottom}); centre({36, 76}); break;
    case 9: side({kRow[0], kRow[1], kRow[2], kRow[3]}); centre({mid}); break;
    case 10: side({kRow[0], kRow[1], kRow[2], kRow[3]}); centre({30, 82}); break;
    default: break;
    }
    for (const P& p : pips) Pip(c, suit, p.x, p.y, 14, color, p.y > mid + 0.1);
}

void AcePicture(Canvas& c, int suit, Color color, bool ghost) {
    if (suit == 1 && !ghost) {
        // The ace of spades carries the large, ringed pip.
        c.Fill(Path().Circle(kCx, kCy, 25), Rgb(232, 226, 206));
        c.Fill(Stroke(Path().Circle(kCx, kCy, 25), 1.2, true), Rgb(168, 136, 60));
        c.Fill(Stroke(Path().Circle(kCx, kCy, 22.5), 0.8, true), Rgb(168, 136, 60));
        Pip(c, suit, kCx, kCy, 36, color);
        return;
    }
    Pip(c, suit, kCx, kCy, suit == 2 ? 34 : 30, color);
}

// --- court cards ----------------------------------------------------------------

struct CourtStyle {
    Color robe, robeDark, trim, hair, accent;
    int pattern;  // 0 stripes, 1 checks, 2 diamonds, 3 dots
};

CourtStyle StyleFor(int suit, int rank) {
    const Color blue = Rgb(44, 84, 168), gold = Rgb(232, 184, 48), red = Rgb(196, 36, 40);
    const Color slate = Rgb(54, 58, 72), green = Rgb(46, 128, 84), plum = Rgb(118, 52, 110);
    const Color brown = Rgb(110, 70, 36), blond = Rgb(214, 168, 72), black = Rgb(40, 32, 30);
    const Color grey = Rgb(196, 196, 200), auburn = Rgb(150, 62, 34);
    CourtStyle s{};
    switch (suit) {
    case 0: s = {blue, Rgb(26, 52, 112), gold, brown, red, 0}; break;
    case 1: s = {slate, Rgb(28, 30, 40), red, black, gold, 1}; break;
    case 2: s = {red, Rgb(128, 20, 24), gold, blond, blue, 2}; break;
    default: s = {plum, Rgb(74, 28, 70), gold, auburn, green, 3}; break;
    }
    if (rank == 12) s.hair = suit == 1 ? grey : s.hair;  // the king of spades is grey
    if (rank == 11) std::swap(s.accent, s.trim);
    if (rank == 10) s.pattern = (s.pattern + 2) % 4;
    return s;
}

void Outlined(Canvas& c, const Path& p, Color fill, double width = 0.8) {
    c.Fill(p, fill);
    c.Fill(Stroke(p, width, true), Outline());
}

void RobePattern(Canvas& c, const Path& robe, const CourtStyle& s) {
    // The pattern is clipped to the robe by drawing it into a layer and
    // keeping only what lies inside the robe's coverage.
    Canvas layer(c.GetWidth(), c.GetHeight());
    layer.Fill(robe, s.robe);
    Canvas pat(c.GetWidth(), c.GetHeight());
    switch (s.pattern) {
    case 0:
        for (int i = 0; i < 8; ++i) pat.Fill(Path().Rect(18 + i * 6, 30, 2.2, 30), s.robeDark);
        break;
    case 1:
        for (int i = 0; i < 9; ++i)
            for (int j = 0; j < 6; ++j)
                if ((i + j) % 2 == 0) pat.Fill(Path().Rect(18 + i * 5, 34 + j * 5, 5, 5), s.robeDark);
        break;
    case 2:
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 4; ++j) {
                double x = 20 + i * 8 + (j % 2) * 4, y = 38 + j * 6;
                pat.Fill(Path().Polygon({{x, y - 3}, {x + 2.2, y}, {x, y + 3}, {x - 2.2, y}}), s.trim);
            }
        break;
    default:
        for (int i = 0; i < 7; ++i)
            for (int j = 0; j < 4; ++j) pat.Fill(Path().Circle(20 + i * 7 + (j % 2) * 3.5, 38 + j * 6, 1.2), s.trim);
        break;
    }
    for (int y = 0; y < c.GetHeight(); ++y)
        for (int x = 0; x < c.GetWidth(); ++x) {
            Color& l = layer.At(x, y);
            const Color& p = pat.At(x, y);
            float keep = l.a;
            // source-atop: the pattern only where the robe is
            l.r = p.r * keep + l.r * (1 - p.a);
            l.g = p.g * keep + l.g * (1 - p.a);
            l.b = p.b * keep + l.b * (1 - p.a);
        }
    c.Draw(layer, 0, 0);
    c.Fill(Stroke(robe, 0.8, true), Outline());
}

void CourtHalf(Canvas& c, int suit, int rank) {
    CourtStyle s = StyleFor(suit, rank);
    // Figures of odd suits look to the left, even ones to the right.
    const bool left = suit % 2 == 1;
    const double dir = left ? -1 : 1;
    const double hx = kCx - dir * 2.5;  // head centre
    const double hy = 27;
    const Color skin = Rgb(248, 212, 172);
    const Color ink = SuitInk(suit);

    // Hair behind the head (the queen's falls to the shoulders).
    if (rank == 11) {
        Outlined(c, Path().MoveTo(hx - 9, 40).CubicTo(hx - 11, 26, hx - 9, 17, hx, 17)
                          .CubicTo(hx + 9, 17, hx + 11, 26, hx + 9, 40).Close(), s.hair);
    }
    // Robe and shoulders.
    Path robe;
    robe.MoveTo(17, 56).LineTo(17, 46).CubicTo(18, 39, 24, 36, hx - 5, 35).LineTo(hx + 5, 35)
        .CubicTo(55, 36, 61, 39, 62, 46).LineTo(62, 56).Close();
    RobePattern(c, robe, s);
    // Collar and the band down the front.
    Outlined(c, Path().MoveTo(hx - 8, 35).LineTo(hx, 44).LineTo(hx + 8, 35).LineTo(hx + 5, 34)
                      .LineTo(hx, 39).LineTo(hx - 5, 34).Close(), s.trim, 0.6);
    Outlined(c, Path().Rect(hx - 1.8, 44, 3.6, 12), s.trim, 0.6);
    // Neck and head.
    Outlined(c, Path().Rect(hx - 2.5, 30, 5, 5), skin, 0.6);
    Path head = Path().Ellipse(hx, hy, 6, 7);
    Outlined(c, head, skin);
    // Face: eyes, nose, mouth, turned slightly toward where the figure looks.
    double fx = hx + dir * 1.0;
    c.Fill(Path().Circle(fx - 2.4, hy - 0.6, 0.75).Circle(fx + 2.4, hy - 0.6, 0.75), Outline());
    c.Fill(Path().Line({fx + dir * 0.4, hy - 0.2}, {fx + dir * 0.9, hy + 2.2}, 0.6), Rgb(170, 110, 80));
    c.Fill(Path().Line({fx - 1.6, hy + 3.6}, {fx + 1.6, hy + 3.6}, 0.8), Rgb(190, 60, 60));

    // The arm that holds the attribute, reaching from the shoulder.
    const double itemX = kCx + dir * 15, handY = rank == 12 ? 50 : (rank == 11 ? 42 : 44);
    auto arm = [&]() {
        Path sleeve;
        sleeve.MoveTo(hx + dir * 7, 36).CubicTo(hx + dir * 11, 38, itemX - dir * 3, handY - 4, itemX - dir * 1.5, handY - 2.5)
            .LineTo(itemX - dir * 1.5, handY + 2.5).CubicTo(itemX - dir * 5, handY + 1, hx + dir * 8, 44, hx + dir * 5, 42).Close();
        Outlined(c, sleeve, s.robeDark, 0.6);
        Outlined(c, Path().Rect(itemX - dir * 3.2 - 0.9, handY - 2.6, 1.8, 5.2), s.trim, 0.4);
    };
    auto hand = [&]() { Outlined(c, Path().Ellipse(itemX, handY, 2.4, 2.6), skin, 0.6); };

    switch (rank) {
    case 12: {  // king: beard, crown, sword
        Outlined(c, Path().MoveTo(hx - 6, hy + 1).CubicTo(hx - 6, hy + 10, hx - 2, hy + 12, hx, hy + 12)
                          .CubicTo(hx + 2, hy + 12, hx + 6, hy + 10, hx + 6, hy + 1)
                          .LineTo(hx + 4, hy + 2).CubicTo(hx + 3, hy + 6, hx - 3, hy + 6, hx - 4, hy + 2).Close(),
                 s.hair, 0.6);
        c.Fill(Path().Line({fx - 1.6, hy + 3.6}, {fx + 1.6, hy + 3.6}, 0.8), Rgb(190, 60, 60));
        Path crown;
        crown.MoveTo(hx - 7, 21).LineTo(hx - 8, 12).LineTo(hx - 4, 16.5).LineTo(hx, 10).LineTo(hx + 4, 16.5)
            .LineTo(hx + 8, 12).LineTo(hx + 7, 21).Close();
        Outlined(c, crown, Rgb(238, 192, 52));
        c.Fill(Path().Circle(hx, 18.5, 1.3), s.accent);
        c.Fill(Path().Circle(hx - 8, 11.5, 1.1).Circle(hx, 9.5, 1.1).Circle(hx + 8, 11.5, 1.1), Rgb(238, 192, 52));
        // Sword held upright at the side the king looks to.
        double sx = kCx + dir * 15;
        Outlined(c, Path().Polygon({{sx - 1.3, 46}, {sx - 1.3, 14}, {sx, 11}, {sx + 1.3, 14}, {sx + 1.3, 46}}),
                 Rgb(214, 220, 230), 0.6);
        Outlined(c, Path().Rect(sx - 4.5, 45.5, 9, 2.4), s.trim, 0.6);
        Outlined(c, Path().Rect(sx - 1.2, 48, 2.4, 6), Rgb(120, 72, 36), 0.6);
        arm();
        hand();
        break;
    }
    case 11: {  // queen: tiara, hair, flower
        Outlined(c, Path().MoveTo(hx - 6.5, hy - 2).CubicTo(hx - 6, hy - 9, hx + 6, hy - 9, hx + 6.5, hy - 2)
                          .CubicTo(hx + 3, hy - 5, hx - 3, hy - 5, hx - 6.5, hy - 2).Close(), s.hair, 0.6);
        Path tiara;
        tiara.MoveTo(hx - 6, 20).LineTo(hx - 5, 14.5).LineTo(hx - 2.5, 17).LineTo(hx, 12).LineTo(hx + 2.5, 17)
            .LineTo(hx + 5, 14.5).LineTo(hx + 6, 20).Close();
        Outlined(c, tiara, Rgb(238, 192, 52), 0.6);
        c.Fill(Path().Circle(hx, 17.6, 1.1), s.trim);
        // A flower on a stem.
        double fxs = kCx + dir * 15;
        c.Fill(Path().Line({fxs, 50}, {fxs, 22}, 1.2), Rgb(40, 110, 50));
        Outlined(c, Path().Ellipse(fxs + dir * 3, 34, 3, 1.5), Rgb(60, 150, 70), 0.5);
        for (int k = 0; k < 5; ++k) {
            double a = k * 2 * kPi / 5 - kPi / 2;
            Outlined(c, Path().Circle(fxs + 3.2 * std::cos(a), 20 + 3.2 * std::sin(a), 2.4), s.accent, 0.5);
        }
        c.Fill(Path().Circle(fxs, 20, 1.8), Rgb(250, 220, 80));
        arm();
        hand();
        break;
    }
    default: {  // jack: cap with a feather, short hair, halberd
        Outlined(c, Path().MoveTo(hx - 6.5, hy + 1).CubicTo(hx - 7, hy - 4, hx - 5, hy - 6, hx, hy - 6)
                          .CubicTo(hx + 5, hy - 6, hx + 7, hy - 4, hx + 6.5, hy + 1)
                          .LineTo(hx + 5, hy - 2).LineTo(hx - 5, hy - 2).Close(), s.hair, 0.6);
        Path cap;
        cap.MoveTo(hx - 8, 21.5).CubicTo(hx - 8, 14, hx + 8, 13, hx + 9, 21.5).Close();
        Outlined(c, cap, s.robeDark, 0.6);
        Outlined(c, Path().Rect(hx - 8, 20, 17, 2.4), s.trim, 0.6);
        Outlined(c, Path().MoveTo(hx - dir * 3, 17).CubicTo(hx - dir * 6, 9, hx - dir * 9, 8, hx - dir * 10, 8)
                          .CubicTo(hx - dir * 9, 12, hx - dir * 7, 15, hx - dir * 3, 18.5).Close(), s.accent, 0.5);
        double px = kCx + dir * 15;
        c.Fill(Path().Line({px, 54}, {px, 16}, 1.6), Rgb(120, 72, 36));
        Outlined(c, Path().MoveTo(px, 9).LineTo(px + 1.6, 15).LineTo(px + dir * 5, 15)
                          .CubicTo(px + dir * 6, 19, px + dir * 4, 22, px + dir * 1, 22)
                          .LineTo(px, 22).LineTo(px - 1.6, 15).Close(), Rgb(214, 220, 230), 0.6);
        arm();
        hand();
        break;
    }
    }
    // The suit symbol in the free upper corner.
    Pip(c, suit, kCx - dir * 16, 13, 9, ink);
}

void CourtPicture(Canvas& c, int suit, int rank) {
    const Color ink = SuitInk(suit);
    c.Fill(Path().Rect(kFrameX0, kFrameY0, kFrameX1 - kFrameX0 + 1, kFrameY1 - kFrameY0 + 1), Rgb(252, 246, 230));
    c.SetClip(kFrameX0 + 1, kFrameY0 + 1, kFrameX1, (kFrameY0 + kFrameY1 + 1) / 2);
    CourtHalf(c, suit, rank);
    c.ResetClip();
    MirrorHalf(c);
    // The frame and the line between the two halves.
    c.Fill(Stroke(Path().Rect(kFrameX0 + 0.5, kFrameY0 + 0.5, kFrameX1 - kFrameX0, kFrameY1 - kFrameY0), 1.0, true),
           ink);
    c.Fill(Path().Rect(kFrameX0, kCy - 0.5, kFrameX1 - kFrameX0 + 1, 1), ink);
}

void GhostCourt(Canvas& c, int suit, int rank, const Fonts& fonts) {
    const Color g = Ghost();
    c.Fill(Stroke(Path().RoundRect(kFrameX0 + 0.5, kFrameY0 + 0.5, kFrameX1 - kFrameX0, kFrameY1 - kFrameY0, 3), 1.0,
                  true),
           g);
    c.Fill(CapText(fonts.serifBold, kRankText[rank], kCx, 26, 26), g);
    Pip(c, suit, kCx, 74, 20, g);
}

std::string Name(const char* kind, int suit, int rank) {
    return std::string(kind) + "_" + kRankName[rank] + "_" + kSuitName[suit] + ".bmp";
}

// --- glyphs -----------------------------------------------------------------------

// The corner rank glyph: 15 x 21, capitals 13 px tall from row 4.
Canvas RankGlyph(const Fonts& fonts, int rank, Color color) {
    Canvas c(15, 21);
    const double cx = 8.0, top = 4, cap = 13;
    if (rank == 9) {
        c.Fill(CapText(fonts.condensedBold, "10", cx, top, cap, 0.78), color);
    } else {
        c.Fill(CapText(fonts.sansBold, kRankText[rank], cx, top, cap), color);
    }
    // A Six and a Nine are each the other turned over: a bar under the
    // figure tells which way up it stands, in the upright corner and in the
    // turned one, where a fan may leave only the turned index in view.
    if (rank == 5 || rank == 8) c.Fill(Path().Rect(cx - 3.5, top + cap + 1.4, 7, 1.5), color);
    return c;
}

Canvas SuitGlyph(int suit, Color color) {
    Canvas c(15, 14);
    Pip(c, suit, 8.0, 7.0, 10.5, color);
    return c;
}

// --- the card outline pictures --------------------------------------------------

Image BlankFace() {
    Canvas c(kW, kH);
    Image img = Opaque(c, White());
    CardEdge(img, 0x222226, 0x9A9A9E);
    return img;
}

Image GetCardBack() {
    Canvas c(kW, kH);
    c.FillAll(White());
    const Color navy = Rgb(28, 48, 112), lattice = Rgb(70, 100, 176), gold = Rgb(214, 176, 84);
    const double x0 = 4, y0 = 4, w = kW - 8, h = kH - 8;
    c.Fill(Path().RoundRect(x0, y0, w, h, 3), navy);
    // A diagonal lattice, clipped to the inner panel.
    c.SetClip(5, 5, kW - 5, kH - 5);
    for (int k = -20; k < 30; ++k) {
        double o = k * 7.0;
        c.Fill(Path().Line({o, 0}, {o + kH, kH}, 0.9, false), lattice);
        c.Fill(Path().Line({o + kH, 0}, {o, kH}, 0.9, false), lattice);
    }
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 20; ++j) {
            double x = kCx + (i - 8) * 7.0 + 3.5 * (j % 2), y = kCy + (j - 10) * 7.0 + 3.5;
            if ((i + j) % 2 == 0) c.Fill(Path().Circle(x, y, 0.9), Rgb(120, 150, 214));
        }
    c.ResetClip();
    c.Fill(Stroke(Path().RoundRect(x0 + 2.5, y0 + 2.5, w - 5, h - 5, 2), 1.0, true), gold);
    // The medallion: a ring with a compass star.
    c.Fill(Path().Ellipse(kCx, kCy, 17, 21), navy);
    c.Fill(Stroke(Path().Ellipse(kCx, kCy, 17, 21), 1.6, true), gold);
    c.Fill(Stroke(Path().Ellipse(kCx, kCy, 14, 18), 0.8, true), gold);
    Path star;
    for (int k = 0; k < 16; ++k) {
        double a = k * kPi / 8 - kPi / 2;
        double r = k % 4 == 0 ? 15 : (k % 2 == 0 ? 8 : 4);
        double ry = k % 4 == 0 ? 1.2 : 1.0;
        Pt p{kCx + r * std::cos(a), kCy + r * ry * std::sin(a)};
        if (k == 0) star.MoveTo(p.x, p.y); else star.LineTo(p.x, p.y);
    }
    star.Close();
    c.Fill(star, gold);
    c.Fill(Path().Circle(kCx, kCy, 2.2), navy);
    Image img = Opaque(c, White());
    CardEdge(img, 0x222226, 0x9A9A9E);
    return img;
}

// A rounded card-shaped outline for pile bases.
Path BaseOutline(double inset, double width) {
    double o = inset + width / 2;
    return Stroke(Path().RoundRect(o, o, kW - 2 * o, kH - 2 * o, 4), width, true);
}

// The outline of the marked bases (free cells and foundations): a row of
// short dashes, so that it never reads as the solid outline of a column.
Path DashedBaseOutline(double width) {
    const double o = width / 2, x0 = o, y0 = o, x1 = kW - o, y1 = kH - o, r = 4;
    Path p;
    auto dashes = [&](Pt a, Pt b) {
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        const int n = static_cast<int>(std::lround(len / 8.0));
        for (int k = 0; k < n; ++k) {
            const double t0 = (k + 0.2) / n, t1 = (k + 0.8) / n;
            p.Append(Path().Line({a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0},
                                 {a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1}, width, false));
        }
    };
    dashes({x0 + r, y0}, {x1 - r, y0});
    dashes({x1, y0 + r}, {x1, y1 - r});
    dashes({x1 - r, y1}, {x0 + r, y1});
    dashes({x0, y1 - r}, {x0, y0 + r});
    // The rounded corners stay whole.
    for (int k = 0; k < 4; ++k) {
        const double cx = k % 3 == 0 ? x0 + r : x1 - r, cy = k < 2 ? y0 + r : y1 - r;
        const double start = kPi + k * kPi / 2;
        Path arc;
        for (int i = 0; i <= 6; ++i) {
            const double a = start + i * kPi / 12;
            const Pt q{cx + r * std::cos(a), cy + r * std::sin(a)};
            if (i == 0) arc.MoveTo(q.x, q.y); else arc.LineTo(q.x, q.y);
        }
        p.Append(Stroke(arc, width));
    }
    return p;
}

// The redeal symbol: a thick ring of radius r, open at the top right, whose
// end carries an arrowhead pointing on round the ring (clockwise).
Path RedealArrow(double r, double width) {
    const double a0 = -kPi / 2 + 0.55, a1 = -kPi / 2 + 2 * kPi - 0.95;
    Path arc;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        const Pt q{kCx + r * std::cos(a), kCy + r * std::sin(a)};
        if (i == 0) arc.MoveTo(q.x, q.y); else arc.LineTo(q.x, q.y);
    }
    Path p = Stroke(arc, width);
    // The head: a triangle at the ring's end, across the ring, its point
    // ahead along the circle.
    const Pt end{kCx + r * std::cos(a1), kCy + r * std::sin(a1)};
    const Pt tangent{-std::sin(a1), std::cos(a1)};   // direction of travel (clockwise on screen)
    const Pt normal{std::cos(a1), std::sin(a1)};
    const double half = width * 1.45, len = width * 2.1;
    p.Append(Path().Polygon({{end.x + normal.x * half, end.y + normal.y * half},
                             {end.x + tangent.x * len, end.y + tangent.y * len},
                             {end.x - normal.x * half, end.y - normal.y * half}}));
    return p.Normalized();
}

}  // namespace

Color InkBlack() { return Rgb(20, 20, 24); }
Color InkRed() { return Rgb(204, 18, 34); }
Color TableGreen() { return Rgb(0, 128, 0); }
Color SuitInk(int suit) { return IsRed(suit) ? InkRed() : InkBlack(); }

Path SuitShape(int suit) {
    Path p;
    switch (suit) {
    case 0:  // clubs: three leaves and a flared stem
        p.Circle(0, -0.255, 0.235).Circle(-0.265, 0.085, 0.235).Circle(0.265, 0.085, 0.235).Circle(0, 0.02, 0.14);
        p.MoveTo(0.035, 0.05).CubicTo(0.05, 0.3, 0.1, 0.42, 0.2, 0.5).LineTo(-0.2, 0.5)
            .CubicTo(-0.1, 0.42, -0.05, 0.3, -0.035, 0.05).Close();
        return p.Normalized();
    case 1:  // spades
        p.MoveTo(0, -0.5).CubicTo(0.16, -0.28, 0.5, -0.12, 0.5, 0.13).CubicTo(0.5, 0.3, 0.38, 0.39, 0.25, 0.39)
            .CubicTo(0.15, 0.39, 0.07, 0.34, 0.03, 0.27).CubicTo(0.05, 0.38, 0.1, 0.45, 0.2, 0.5).LineTo(-0.2, 0.5)
            .CubicTo(-0.1, 0.45, -0.05, 0.38, -0.03, 0.27).CubicTo(-0.07, 0.34, -0.15, 0.39, -0.25, 0.39)
            .CubicTo(-0.38, 0.39, -0.5, 0.3, -0.5, 0.13).CubicTo(-0.5, -0.12, -0.16, -0.28, 0, -0.5).Close();
        return p.Normalized();
    case 2:  // diamonds, with slightly hollow sides
        p.MoveTo(0, -0.5).QuadTo(0.17, -0.21, 0.38, 0).QuadTo(0.17, 0.21, 0, 0.5).QuadTo(-0.17, 0.21, -0.38, 0)
            .QuadTo(-0.17, -0.21, 0, -0.5).Close();
        return p.Normalized();
    default:  // hearts
        p.MoveTo(0, 0.5).CubicTo(-0.16, 0.32, -0.5, 0.1, -0.5, -0.17).CubicTo(-0.5, -0.37, -0.37, -0.48, -0.24, -0.48)
            .CubicTo(-0.11, -0.48, -0.03, -0.4, 0, -0.3).CubicTo(0.03, -0.4, 0.11, -0.48, 0.24, -0.48)
            .CubicTo(0.37, -0.48, 0.5, -0.37, 0.5, -0.17).CubicTo(0.5, 0.1, 0.16, 0.32, 0, 0.5).Close();
        return p.Normalized();
    }
}

void DrawCards(const Fonts& fonts, ArtSink& sink) {
    const Color table = TableGreen();
    // Plain base: a pale outline on the green key.
    {
        Canvas c(kW, kH);
        c.Fill(BaseOutline(0, 1.4), Rgb(178, 214, 178));
        sink.Bitmap(IDB_PLAIN_BASE, "base_plain.bmp", Keyed(c, kKeyGreen, table, 0.25f));
    }
    sink.Bitmap(IDB_CARD_BACK, "back.bmp", GetCardBack());
    // Pictured bases: value 0 the redeal arrow (a ring turning back on
    // itself), value 1 a red cross (nothing more to deal).
    {
        Canvas c(kW, kH);
        c.Fill(BaseOutline(1, 1.6), InkBlack());
        c.Fill(RedealArrow(15, 4.5), InkBlack());
        sink.Bitmap(IDB_PICTURED_BASE, "base_redeal.bmp", Keyed(c, kKeyWhite, table, 0.25f));
    }
    {
        Canvas c(kW, kH);
        c.Fill(BaseOutline(1, 1.6), InkRed());
        c.Fill(Path().Line({kCx - 12, kCy - 12}, {kCx + 12, kCy + 12}, 5).Line({kCx + 12, kCy - 12}, {kCx - 12, kCy + 12}, 5)
                   .Normalized(),
               InkRed());
        sink.Bitmap(IDB_PICTURED_BASE + 1, "base_cross.bmp", Keyed(c, kKeyWhite, table, 0.25f));
    }
    for (int rank = 0; rank < kRanks; ++rank) {
        for (int suit = 0; suit < kSuits; ++suit) {
            Canvas c(kW, kH);
            if (rank == 0) AcePicture(c, suit, SuitInk(suit), false);
            else if (rank < 10) PipLayout(c, suit, rank, SuitInk(suit));
            else CourtPicture(c, suit, rank);
            sink.Bitmap(IDB_CARD_FACE + rank * 4 + suit, Name("face", suit, rank), Keyed(c, kKeyWhite, White()));
        }
    }
    for (int rank = 0; rank < kRanks; ++rank) {
        for (int colour = 0; colour < 2; ++colour) {
            Canvas c = RankGlyph(fonts, rank, colour ? InkRed() : InkBlack());
            sink.Bitmap(IDB_RANK_GLYPH + rank * 2 + colour,
                        std::string("rank_") + kRankName[rank] + (colour ? "_red.bmp" : "_black.bmp"),
                        Keyed(c, kKeyWhite, White()));
        }
    }
    for (int suit = 0; suit < kSuits; ++suit)
        sink.Bitmap(IDB_SUIT_PIP + suit, std::string("suit_") + kSuitName[suit] + ".bmp",
                    Keyed(SuitGlyph(suit, SuitInk(suit)), kKeyWhite, White()));
    sink.Bitmap(IDB_BLANK_FACE, "face_blank.bmp", BlankFace());
    // Marked bases: the same pictures, drawn as light green ghosts.
    for (int rank = 0; rank < kRanks; ++rank) {
        for (int suit = 0; suit < kSuits; ++suit) {
            Canvas c(kW, kH);
            if (rank == 0) AcePicture(c, suit, Ghost(), true);
            else if (rank < 10) PipLayout(c, suit, rank, Ghost());
            else GhostCourt(c, suit, rank, fonts);
            sink.Bitmap(IDB_MARK_PICTURE + rank * 4 + suit, Name("mark", suit, rank), Keyed(c, kKeyWhite, table, 0.25f));
        }
    }
    for (int rank = 0; rank < kRanks; ++rank)
        sink.Bitmap(IDB_MARK_RANK + rank, std::string("mark_rank_") + kRankName[rank] + ".bmp",
                    Keyed(RankGlyph(fonts, rank, Ghost()), kKeyWhite, table, 0.25f));
    for (int suit = 0; suit < kSuits; ++suit)
        sink.Bitmap(IDB_MARK_SUIT + suit, std::string("mark_suit_") + kSuitName[suit] + ".bmp",
                    Keyed(SuitGlyph(suit, Ghost()), kKeyWhite, table, 0.25f));
    {
        Canvas c(kW, kH);
        c.Fill(DashedBaseOutline(1.8), Ghost());
        sink.Bitmap(IDB_MARKED_BASE, "base_marked.bmp", Keyed(c, kKeyWhite, table, 0.25f));
    }
}

}  // namespace art
