// The larger opaque pictures: the table background, the about banner and the
// picture shown in place of the advertisement page.
#include <cmath>
#include <cstdint>

#include "art.h"
#include "res/art_ids.h"

namespace art {

namespace {


uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double Unit(uint32_t h) { return (h & 0xFFFFFF) / static_cast<double>(0x1000000); }

// Value noise on a lattice of nx x ny cells that wraps around the picture,
// so the picture tiles without a seam.
double PeriodicNoise(double u, double v, int nx, int ny, uint32_t seed) {
    double x = u * nx, y = v * ny;
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double fx = x - x0, fy = y - y0;
    auto at = [&](int i, int j) {
        return Unit(Hash(static_cast<uint32_t>(((i % nx) + nx) % nx), static_cast<uint32_t>(((j % ny) + ny) % ny), seed));
    };
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    double sx = smooth(fx), sy = smooth(fy);
    double a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    double b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return a + (b - a) * sy - 0.5;
}

// Deep green baize: broad, soft clouding, a finer mottle and a grain of
// single fibres. Every term repeats exactly over the picture.
Image Background() {
    const int w = 890, h = 700;
    Canvas c(w, h);
    const double base[3] = {18, 104, 52};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double u = (x + 0.5) / w, v = (y + 0.5) / h;
            double cloud = PeriodicNoise(u, v, 5, 4, 1) * 0.6 + PeriodicNoise(u, v, 10, 7, 2) * 0.4;
            double mottle = PeriodicNoise(u, v, 89, 70, 3) * 0.6 + PeriodicNoise(u, v, 178, 140, 4) * 0.4;
            double grain = Unit(Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 5)) - 0.5;
            // Fibres: short streaks along the two diagonals of the weave.
            double fibre = Unit(Hash(static_cast<uint32_t>((x + y) % w), static_cast<uint32_t>(((x - y) % h + h) % h) / 3, 6)) - 0.5;
            double k = 1 + 0.16 * cloud + 0.07 * mottle + 0.05 * grain + 0.025 * fibre;
            c.Set(x, y, Rgb(static_cast<int>(std::lround(base[0] * k)), static_cast<int>(std::lround(base[1] * k)),
                            static_cast<int>(std::lround(base[2] * k))));
        }
    }
    return Opaque(c, Rgb(0, 0, 0));
}

void FeltRect(Canvas& c, int w, int h, Color top, Color bottom) {
    c.Fill(Path().Rect(0, 0, w, h), LinearGradient({0, 0}, {0, static_cast<double>(h)}, top, bottom));
}

Image AboutBanner(const Fonts& fonts) {
    const int w = 280, h = 64;
    Canvas c(w, h);
    FeltRect(c, w, h, Rgb(20, 112, 60), Rgb(8, 64, 34));
    // A fan of four cards on the left.
    const Pt pivot{36, 62};
    const int suits[4] = {1, 3, 0, 2};
    for (int k = 0; k < 4; ++k) MiniCard(c, 23, 8, 26, 38, -0.5 + k * 0.33, suits[k], 1.0, &pivot);
    c.Fill(CapTextLeft(fonts.serifBold, "Corvelle", 82, 12, 24), Rgb(250, 236, 190));
    c.Fill(CapTextLeft(fonts.sans, "Solitaire collection", 84, 44, 8), Rgb(204, 228, 208));
    c.Fill(Path().Rect(0, h - 2, w, 2), Rgb(214, 176, 84));
    return Opaque(c, Rgb(0, 0, 0));
}

Image AdvertStandIn(const Fonts& fonts) {
    const int w = 160, h = 120;
    Canvas c(w, h);
    FeltRect(c, w, h, Rgb(22, 118, 64), Rgb(10, 72, 38));
    const Pt pivot{80, 66};
    const int suits[3] = {1, 3, 2};
    for (int k = 0; k < 3; ++k) MiniCard(c, 66, 12, 28, 40, -0.35 + k * 0.35, suits[k], 1.0, &pivot);
    double tw = 0;
    CapTextLeft(fonts.serifBold, "Corvelle", 0, 0, 14, &tw);
    c.Fill(CapTextLeft(fonts.serifBold, "Corvelle", (w - tw) / 2, 68, 14), Rgb(250, 236, 190));
    CapTextLeft(fonts.sans, "Solitaire collection", 0, 0, 7, &tw);
    c.Fill(CapTextLeft(fonts.sans, "Solitaire collection", (w - tw) / 2, 92, 7), Rgb(214, 236, 218));
    c.Fill(Stroke(Path().Rect(0.5, 0.5, w - 1, h - 1), 1.0, true), Rgb(214, 176, 84));
    return Opaque(c, Rgb(0, 0, 0));
}

}  // namespace

void DrawPictures(const Fonts& fonts, ArtSink& sink) {
    sink.Bitmap(IDB_FIELD_PICTURE, "background.bmp", Background());
    sink.Bitmap(IDB_ABOUT, "about.bmp", AboutBanner(fonts));
    sink.Bitmap(IDB_ADVERT_FALLBACK, "advert.bmp", AdvertStandIn(fonts));
}

}  // namespace art
