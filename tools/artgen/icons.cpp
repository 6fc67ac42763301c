// Icons: the window icon, the command-bar buttons, the filter and list
// icons of the game selection, and the side-panel arrows. All but the window
// icon use the green key; edges are blended with the colour they are drawn on.
#include <cmath>
#include <functional>
#include <string>

#include "art.h"
#include "res/art_ids.h"

namespace art {

namespace {

constexpr double kPi = 3.14159265358979323846;

Color Line() { return Rgb(40, 44, 52); }
Color Paper() { return Rgb(252, 252, 250); }
Color Gold() { return Rgb(236, 178, 36); }
Color Blue() { return Rgb(46, 104, 190); }
Color Green() { return Rgb(40, 150, 70); }
// Light grey of toolbars and panel headers; white of list rows.
Color ToolbarFace() { return Rgb(240, 240, 240); }
Color ListWhite() { return Rgb(255, 255, 255); }

}  // namespace

void MiniCard(Canvas& c, double x, double y, double w, double h, double angle, int suit, double line,
              const Pt* pivot) {
    Affine m = pivot ? Affine::RotateAbout(angle, pivot->x, pivot->y) : Affine::RotateAbout(angle, x + w / 2, y + h / 2);
    Path card = Path().RoundRect(x, y, w, h, std::max(1.0, w / 8)).Transformed(m);
    c.Fill(card, Paper());
    c.Fill(Stroke(card, line, true), Line());
    if (suit >= 0) {
        double s = std::min(w, h) * 0.55;
        Path pip = SuitShape(suit).Transformed(m * Affine::Translate(x + w / 2, y + h / 2) * Affine::Scale(s, s));
        c.Fill(pip, SuitInk(suit));
    }
}

namespace {

// Design space 32 x 32, scaled to the icon's size.
using Drawer = std::function<void(Canvas&, const Affine&, double unit)>;

Canvas Draw(int w, int h, double design, const Drawer& d) {
    Canvas c(w, h);
    double s = std::min(w, h) / design;
    d(c, Affine::Scale(s, s), s);
    return c;
}

void ArrowHead(Path& p, Pt tip, double angle, double size) {
    Pt a{tip.x + size * std::cos(angle + 2.5), tip.y + size * std::sin(angle + 2.5)};
    Pt b{tip.x + size * std::cos(angle - 2.5), tip.y + size * std::sin(angle - 2.5)};
    p.Polygon({tip, a, b});
}

// Command bar -------------------------------------------------------------------

void NewGame(Canvas& c, const Affine& m, double u) {
    // Three cards fanned out, and a spark for "new".
    auto card = [&](double angle, int suit) {
        Path p = Path().RoundRect(9, 8, 14, 20, 2).Transformed(m * Affine::RotateAbout(angle, 16, 30));
        c.Fill(p, Paper());
        c.Fill(Stroke(p, std::max(0.9, 1.1 * u), true), Line());
        Path pip = SuitShape(suit).Transformed(m * Affine::RotateAbout(angle, 16, 30) * Affine::Translate(16, 18) *
                                               Affine::Scale(8, 8));
        c.Fill(pip, SuitInk(suit));
    };
    card(-0.45, 1);
    card(0.0, 3);
    card(0.45, 0);
    Path star;
    for (int k = 0; k < 8; ++k) {
        double a = k * kPi / 4 - kPi / 2, r = k % 2 ? 2.2 : 6.5;
        Pt p = m.Apply({25 + r * std::cos(a), 7 + r * std::sin(a)});
        if (k == 0) star.MoveTo(p.x, p.y); else star.LineTo(p.x, p.y);
    }
    star.Close();
    c.Fill(star, Gold());
    c.Fill(Stroke(star, 0.7 * u, true), Rgb(170, 110, 10));
}

void Restart(Canvas& c, const Affine& m, double u) {
    MiniCard(c, 10.5 * u, 9 * u, 11 * u, 15 * u, 0, 3, std::max(0.9, u));
    Path arc;
    for (int k = 0; k <= 40; ++k) {
        double a = -kPi * 0.35 + k * (kPi * 1.55) / 40;
        Pt p = m.Apply({16 + 13 * std::cos(a), 16.5 + 13 * std::sin(a)});
        if (k == 0) arc.MoveTo(p.x, p.y); else arc.LineTo(p.x, p.y);
    }
    c.Fill(Stroke(arc, 3.2 * u), Blue());
    Path head;
    double a = -kPi * 0.35;
    Pt tip = m.Apply({16 + 13 * std::cos(a) + 3.5, 16.5 + 13 * std::sin(a) + 3.8});
    ArrowHead(head, tip, a + kPi / 2 + 0.35, 8 * u);
    c.Fill(head.Normalized(), Blue());
}

void Select(Canvas& c, const Affine& m, double u) {
    // A list of games beside a magnifier.
    for (int i = 0; i < 4; ++i) {
        double y = 5 + i * 6.5;
        c.Fill(Path().RoundRect(3, y, 5, 4.5, 1).Transformed(m), i % 2 ? InkRed() : InkBlack());
        c.Fill(Path().Rect(10, y + 1, i == 2 ? 10 : 15, 2.5).Transformed(m), Rgb(120, 128, 140));
    }
    Path lens = Path().Circle(20.5, 18.5, 6.2).Transformed(m);
    c.Fill(lens, WithAlpha(Rgb(200, 226, 255), 0.85f));
    c.Fill(Stroke(lens, 2.4 * u, true), Line());
    c.Fill(Path().Line(m.Apply({25, 23}), m.Apply({29.5, 27.5}), 4 * u), Line());
}

void Undo(Canvas& c, const Affine& m, double u) {
    // A hooked arrow pointing left: shaft curving back to the right.
    Path shaft;
    std::vector<Pt> pts;
    for (int k = 0; k <= 40; ++k) {
        double a = -kPi / 2 + k * kPi / 40;
        pts.push_back(m.Apply({17 + 8.5 * std::cos(a), 17.5 + 8.5 * std::sin(a)}));
    }
    shaft.MoveTo(m.Apply({10, 9}).x, m.Apply({10, 9}).y);
    for (const Pt& p : pts) shaft.LineTo(p.x, p.y);
    shaft.LineTo(m.Apply({10, 26}).x, m.Apply({10, 26}).y);
    c.Fill(Stroke(shaft, 3.6 * u), Blue());
    Path head;
    ArrowHead(head, m.Apply({3, 9}), kPi, 9 * u);
    c.Fill(head.Normalized(), Blue());
}

void Hint(Canvas& c, const Affine& m, double u) {
    // A light bulb.
    Path bulb;
    bulb.MoveTo(12, 20).CubicTo(8, 16.5, 7.5, 12.5, 8, 10.5).CubicTo(9, 5.5, 12.5, 3, 16, 3)
        .CubicTo(19.5, 3, 23, 5.5, 24, 10.5).CubicTo(24.5, 12.5, 24, 16.5, 20, 20).LineTo(20, 23).LineTo(12, 23).Close();
    Path b = bulb.Transformed(m);
    c.Fill(b, RadialGradient(m.Apply({14, 9}), 12 * u, Rgb(255, 250, 200), Rgb(250, 200, 40)));
    c.Fill(Stroke(b, 1.2 * u, true), Rgb(150, 100, 10));
    c.Fill(Path().RoundRect(11.5, 23.5, 9, 2.6, 1).RoundRect(11.5, 26.5, 9, 2.6, 1).Transformed(m), Rgb(120, 128, 140));
    c.Fill(Path().RoundRect(13.5, 29.2, 5, 1.8, 0.8).Transformed(m), Line());
    c.Fill(Stroke(Path().MoveTo(14, 20).LineTo(14, 14).LineTo(16, 16).LineTo(18, 14).LineTo(18, 20).Transformed(m), 0.9 * u),
           Rgb(190, 120, 20));
}

void Options(Canvas& c, const Affine& m, double u) {
    // A gear.
    Path gear;
    const int teeth = 8;
    for (int k = 0; k < teeth * 4; ++k) {
        double a = k * 2 * kPi / (teeth * 4);
        int phase = k % 4;
        double r = phase < 2 ? 13.5 : 10.2;
        Pt p = m.Apply({16 + r * std::cos(a + kPi / (teeth * 4)), 16 + r * std::sin(a + kPi / (teeth * 4))});
        if (k == 0) gear.MoveTo(p.x, p.y); else gear.LineTo(p.x, p.y);
    }
    gear.Close();
    Path hole = Path().Circle(16, 16, 4.6).Transformed(m);
    // Holes come from the opposite winding of the inner circle.
    Path body = gear.Normalized();
    std::vector<std::vector<Pt>> inner = hole.Flatten(0.01);
    for (auto& poly : inner) {
        std::reverse(poly.begin(), poly.end());
        body.Polygon(poly);
    }
    c.Fill(body, LinearGradient(m.Apply({6, 4}), m.Apply({26, 28}), Rgb(170, 180, 196), Rgb(92, 102, 120)));
    c.Fill(Stroke(body, 1.0 * u, true), Line());
}

// Small list icons (15 px high) -------------------------------------------------

void CategoryIcon(Canvas& c, int category) {
    const double lw = 1.0;
    switch (category) {
    case 1: {  // Addition: a plus sign
        c.Fill(Path().RoundRect(6, 2, 3, 11, 1).RoundRect(2, 6, 11, 3, 1).Normalized(), Blue());
        break;
    }
    case 2:  // Canfield: a squared pile of cards
        MiniCard(c, 5, 1.5, 8, 11, 0, -1, lw);
        MiniCard(c, 3.5, 2.5, 8, 11, 0, -1, lw);
        MiniCard(c, 2, 3.5, 8, 11, 0, 2, lw);
        break;
    case 3: {  // Castle: a tower with battlements
        Path t;
        t.MoveTo(2.5, 14).LineTo(2.5, 3).LineTo(5, 3).LineTo(5, 5).LineTo(6.5, 5).LineTo(6.5, 3).LineTo(8.5, 3)
            .LineTo(8.5, 5).LineTo(10, 5).LineTo(10, 3).LineTo(12.5, 3).LineTo(12.5, 14).Close();
        c.Fill(t, Rgb(176, 160, 130));
        c.Fill(Stroke(t, 0.9, true), Line());
        c.Fill(Path().MoveTo(6, 14).LineTo(6, 10).CubicTo(6, 8.5, 9, 8.5, 9, 10).LineTo(9, 14).Close(), Line());
        break;
    }
    case 4:  // Fan: cards spread like a fan from a common corner
        for (int k = 0; k < 3; ++k) {
            Path p = Path().RoundRect(4.5, 1.5, 6, 9.5, 1).Transformed(Affine::RotateAbout(-0.7 + k * 0.7, 7.5, 13));
            c.Fill(p, Paper());
            c.Fill(Stroke(p, 0.9, true), Line());
        }
        c.Fill(SuitShape(3).Transformed(Affine::RotateAbout(0.7, 7.5, 13) * Affine::Translate(7.5, 5.2) *
                                        Affine::Scale(3.8, 3.8)),
               InkRed());
        break;
    case 5: {  // 40 Thieves: two rows of small cards
        for (int i = 0; i < 4; ++i) {
            c.Fill(Path().RoundRect(0.5 + i * 3.6, 1.5, 3.2, 5, 0.6), i % 2 ? InkRed() : Line());
            c.Fill(Path().RoundRect(0.5 + i * 3.6, 8.5, 3.2, 5, 0.6), i % 2 ? Line() : InkRed());
        }
        break;
    }
    case 6: {  // FreeCell: four cells, one holding a card
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) {
                Path cell = Path().Rect(1.5 + i * 6.5, 1.5 + j * 6.5, 5.5, 5.5);
                c.Fill(cell, i + j == 0 ? Blue() : Rgb(220, 232, 248));
                c.Fill(Stroke(cell, 0.9, true), Line());
            }
        break;
    }
    case 7: {  // Klondike: a gold nugget
        Path n;
        n.MoveTo(2, 10).LineTo(4, 5).LineTo(8, 3).LineTo(12.5, 5).LineTo(13.5, 10).LineTo(9, 13).LineTo(4, 12.5).Close();
        c.Fill(n, LinearGradient({4, 3}, {12, 13}, Rgb(255, 226, 110), Rgb(206, 140, 20)));
        c.Fill(Stroke(n, 0.9, true), Rgb(120, 80, 10));
        c.Fill(Path().Polygon({{5.5, 6}, {8, 4.8}, {7, 8}}), Rgb(255, 246, 200));
        break;
    }
    case 8: {  // Spider
        c.Fill(Path().Ellipse(7.5, 8.5, 2.6, 3.2).Circle(7.5, 4.6, 1.8).Normalized(), Line());
        Path legs;
        for (int side = -1; side <= 1; side += 2)
            for (int k = 0; k < 4; ++k) {
                double y = 6 + k * 1.6;
                legs.Append(Stroke(Path().MoveTo(7.5, y).LineTo(7.5 + side * 4, y - 2 + k * 1.2)
                                       .LineTo(7.5 + side * 6.5, y + 1 + k * 1.2),
                                   0.8));
            }
        c.Fill(legs.Normalized(), Line());
        break;
    }
    case 9: {  // Terrace: steps
        Path s;
        s.MoveTo(1.5, 13.5).LineTo(1.5, 10).LineTo(5, 10).LineTo(5, 6.5).LineTo(8.5, 6.5).LineTo(8.5, 3).LineTo(13.5, 3)
            .LineTo(13.5, 13.5).Close();
        c.Fill(s, Rgb(150, 190, 120));
        c.Fill(Stroke(s, 0.9, true), Line());
        break;
    }
    case 10: {  // Yukon: a snowy mountain
        Path mtn = Path().Polygon({{0.5, 13.5}, {7.5, 2}, {14.5, 13.5}});
        c.Fill(mtn, Rgb(96, 120, 150));
        c.Fill(Path().Polygon({{5.1, 6}, {7.5, 2}, {9.9, 6}, {8.5, 7}, {7.5, 6}, {6.3, 7}}), Paper());
        c.Fill(Stroke(mtn, 0.9, true), Line());
        break;
    }
    default:
        break;
    }
}

void AllIcon(Canvas& c) {
    // The four suits in a square.
    for (int s = 0; s < 4; ++s) {
        double x = s % 2 ? 11 : 4, y = s < 2 ? 4 : 11;
        int suit = s == 0 ? 1 : s == 1 ? 3 : s == 2 ? 2 : 0;
        c.Fill(SuitShape(suit).Transformed(Affine::Translate(x, y) * Affine::Scale(6.4, 6.4)), SuitInk(suit));
    }
}

void FavouriteIcon(Canvas& c) {
    Path star;
    for (int k = 0; k < 10; ++k) {
        double a = k * kPi / 5 - kPi / 2, r = k % 2 ? 2.9 : 7.0;
        Pt p{7.5 + r * std::cos(a), 8.0 + r * std::sin(a)};
        if (k == 0) star.MoveTo(p.x, p.y); else star.LineTo(p.x, p.y);
    }
    star.Close();
    c.Fill(star, LinearGradient({7.5, 1}, {7.5, 14}, Rgb(255, 224, 90), Rgb(232, 150, 10)));
    c.Fill(Stroke(star, 0.8, true), Rgb(150, 90, 0));
}

void DifficultyIcon(Canvas& c, int level) {
    // One filled diamond per level, ten pixels each.
    for (int i = 0; i < level; ++i) {
        double x = 5 + i * 10;
        Path d = Path().Polygon({{x, 2.5}, {x + 4.2, 7.5}, {x, 12.5}, {x - 4.2, 7.5}});
        Color col = level == 1 ? Green() : level == 2 ? Gold() : InkRed();
        c.Fill(d, col);
        c.Fill(Stroke(d, 0.8, true), Line());
    }
}

void TimeIcon(Canvas& c, int cls) {
    // A clock face with a filled sector: a quarter to a full hour.
    Pt o{7, 8};
    c.Fill(Path().Circle(o.x, o.y, 6.3), Paper());
    Path sector;
    sector.MoveTo(o.x, o.y);
    double end = (cls + 1) * kPi / 2;
    for (int k = 0; k <= 24; ++k) {
        double a = -kPi / 2 + end * k / 24;
        sector.LineTo(o.x + 5.4 * std::cos(a), o.y + 5.4 * std::sin(a));
    }
    sector.Close();
    c.Fill(sector.Normalized(), cls < 2 ? Rgb(120, 180, 240) : cls == 2 ? Gold() : Rgb(228, 110, 60));
    c.Fill(Stroke(Path().Circle(o.x, o.y, 6.3), 1.0, true), Line());
    c.Fill(Path().Line(o, {o.x, o.y - 4.5}, 1.0).Line(o, {o.x + 3, o.y}, 1.0).Normalized(), Line());
}

void RegionArrow(Canvas& c, bool up) {
    // Two chevrons: pointing up when the region is open (click to close).
    Path p;
    for (int k = 0; k < 2; ++k) {
        double y = 5 + k * 4;
        if (up) p.Append(Stroke(Path().MoveTo(3, y + 2.5).LineTo(6.5, y - 1).LineTo(10, y + 2.5), 1.6));
        else p.Append(Stroke(Path().MoveTo(3, y - 1).LineTo(6.5, y + 2.5).LineTo(10, y - 1), 1.6));
    }
    c.Fill(p.Normalized(), Rgb(40, 60, 110));
}

// The window icon: two cards, the front one with a spade.
Canvas AppIcon(int size) {
    Canvas c(size, size);
    double u = size / 32.0;
    auto card = [&](double angle, int suit, double dx) {
        Affine m = Affine::Scale(u, u) * Affine::RotateAbout(angle, 16, 16) * Affine::Translate(dx, 0);
        Path p = Path().RoundRect(8, 3, 17, 25, 2.5).Transformed(m);
        c.Fill(p, Paper());
        c.Fill(Stroke(p, std::max(1.0, 1.2 * u), true), Line());
        c.Fill(SuitShape(suit).Transformed(m * Affine::Translate(16.5, 15.5) * Affine::Scale(12, 12)), SuitInk(suit));
    };
    card(-0.3, 3, -3);
    card(0.22, 1, 3);
    return c;
}

}  // namespace

void DrawIcons(const Fonts&, ArtSink& sink) {
    sink.Icon(IDI_CORVELLE, "corvelle.ico", AppIcon(16), AppIcon(32));

    struct Cmd {
        int big, small;
        const char* name;
        void (*draw)(Canvas&, const Affine&, double);
    } const commands[] = {{IDB_CMD_HINT_BIG, IDB_CMD_HINT_SMALL, "hint", Hint},
                          {IDB_CMD_UNDO_BIG, IDB_CMD_UNDO_SMALL, "undo", Undo},
                          {IDB_CMD_NEW_BIG, IDB_CMD_NEW_SMALL, "new", NewGame},
                          {IDB_CMD_RESTART_BIG, IDB_CMD_RESTART_SMALL, "restart", Restart},
                          {IDB_CMD_SELECT_BIG, IDB_CMD_SELECT_SMALL, "select", Select},
                          {IDB_CMD_OPTIONS_BIG, IDB_CMD_OPTIONS_SMALL, "options", Options}};
    for (const Cmd& cmd : commands) {
        for (int size : {32, 22}) {
            Canvas c = Draw(size, size, 32, [&](Canvas& cv, const Affine& m, double u) { cmd.draw(cv, m, u); });
            sink.Bitmap(size == 32 ? cmd.big : cmd.small, std::string("cmd_") + cmd.name + "_" + std::to_string(size) + ".bmp",
                        Keyed(c, kKeyGreen, ToolbarFace(), 0.2f));
        }
    }
    const char* const categories[] = {"addition", "canfield", "castle", "fan",      "forty_thieves",
                                      "freecell", "klondike", "spider", "terrace", "yukon"};
    for (int k = 1; k <= 10; ++k) {
        Canvas c(15, 15);
        CategoryIcon(c, k);
        sink.Bitmap(IDB_CATEGORY + k - 1, std::string("cat_") + categories[k - 1] + ".bmp", Keyed(c, kKeyGreen, ListWhite(), 0.2f));
    }
    for (int level = 1; level <= 3; ++level) {
        Canvas c(level * 10, 15);
        DifficultyIcon(c, level);
        sink.Bitmap(IDB_DIFFICULTY + level - 1, "skill_" + std::to_string(level) + ".bmp", Keyed(c, kKeyGreen, ListWhite(), 0.2f));
    }
    for (int cls = 0; cls < 4; ++cls) {
        Canvas c(14, 15);
        TimeIcon(c, cls);
        sink.Bitmap(IDB_TIME_CLASS + cls, "time_" + std::to_string(cls) + ".bmp", Keyed(c, kKeyGreen, ListWhite(), 0.2f));
    }
    {
        Canvas c(15, 15);
        AllIcon(c);
        sink.Bitmap(IDB_FILTER_ALL, "filter_all.bmp", Keyed(c, kKeyGreen, ListWhite(), 0.2f));
    }
    {
        Canvas c(15, 15);
        FavouriteIcon(c);
        sink.Bitmap(IDB_FAVOURITE, "favourite.bmp", Keyed(c, kKeyGreen, ListWhite(), 0.2f));
    }
    for (int up = 1; up >= 0; --up) {
        Canvas c(13, 14);
        RegionArrow(c, up != 0);
        sink.Bitmap(up ? IDB_REGION_OPEN : IDB_REGION_CLOSED, up ? "region_open.bmp" : "region_closed.bmp", Keyed(c, kKeyGreen, ToolbarFace(), 0.2f));
    }
}

}  // namespace art
