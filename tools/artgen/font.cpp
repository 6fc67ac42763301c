#include "font.h"

#include <stb/stb_truetype.h>

#include <fstream>
#include <iterator>

namespace art {

Font::~Font() { delete info; }

bool Font::Load(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    info = new stbtt_fontinfo;
    return stbtt_InitFont(info, data.data(), stbtt_GetFontOffsetForIndex(data.data(), 0)) != 0;
}

Path Font::Text(const std::string& text, double size, double* advance) const {
    Path path;
    double scale = stbtt_ScaleForMappingEmToPixels(info, static_cast<float>(size));
    double pen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        int ch = static_cast<unsigned char>(text[i]);
        int glyph = stbtt_FindGlyphIndex(info, ch);
        stbtt_vertex* v = nullptr;
        int n = stbtt_GetGlyphShape(info, glyph, &v);
        auto X = [&](double fx) { return pen + fx * scale; };
        auto Y = [&](double fy) { return -fy * scale; };
        bool open = false;
        for (int k = 0; k < n; ++k) {
            switch (v[k].type) {
            case STBTT_vmove:
                if (open) path.Close();
                path.MoveTo(X(v[k].x), Y(v[k].y));
                open = true;
                break;
            case STBTT_vline:
                path.LineTo(X(v[k].x), Y(v[k].y));
                break;
            case STBTT_vcurve:
                path.QuadTo(X(v[k].cx), Y(v[k].cy), X(v[k].x), Y(v[k].y));
                break;
            case STBTT_vcubic:
                path.CubicTo(X(v[k].cx), Y(v[k].cy), X(v[k].cx1), Y(v[k].cy1), X(v[k].x), Y(v[k].y));
                break;
            }
        }
        if (open) path.Close();
        stbtt_FreeShape(info, v);
        int adv = 0, lsb = 0;
        stbtt_GetGlyphHMetrics(info, glyph, &adv, &lsb);
        pen += adv * scale;
        if (i + 1 < text.size())
            pen += stbtt_GetCodepointKernAdvance(info, ch, static_cast<unsigned char>(text[i + 1])) * scale;
    }
    if (advance) *advance = pen;
    return path;
}

double Font::CapHeight(double size) const {
    double x0, y0, x1, y1;
    Text("H", size).Bounds(&x0, &y0, &x1, &y1);
    return y1 - y0;
}

Path CapText(const Font& font, const std::string& text, double cx, double top, double capHeight,
             double squeeze) {
    double size = capHeight / font.CapHeight(1000) * 1000;
    Path p = font.Text(text, size);
    double x0, y0, x1, y1;
    p.Bounds(&x0, &y0, &x1, &y1);
    // Centre the ink, not the advance, so single glyphs sit exactly in the middle.
    double mid = (x0 + x1) / 2;
    return p.Transformed(Affine::Translate(cx, top + capHeight) * Affine::Scale(squeeze, 1) *
                         Affine::Translate(-mid, 0));
}

Path CapTextLeft(const Font& font, const std::string& text, double x, double top, double capHeight,
                 double* width) {
    double size = capHeight / font.CapHeight(1000) * 1000;
    double adv = 0;
    Path p = font.Text(text, size, &adv);
    if (width) *width = adv;
    return p.Transformed(Affine::Translate(x, top + capHeight));
}

}  // namespace art
