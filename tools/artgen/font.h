// Outline text from a TrueType font file: glyph outlines become paths, so
// text is filled by the same anti-aliased rasteriser as every other shape.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

struct stbtt_fontinfo;

namespace art {

class Font {
public:
    Font() = default;
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool Load(const std::string& file);
    // The outline of a line of text at the given pixel size (em height),
    // baseline at y = 0, starting at x = 0; *advance receives its width.
    Path Text(const std::string& text, double size, double* advance = nullptr) const;
    // Height of the capital letters at the given size.
    double CapHeight(double size) const;

private:
    std::vector<unsigned char> data;
    stbtt_fontinfo* info = nullptr;
};

// Text placed so that its capitals stand capHeight pixels tall with their
// top at `top`, centred on cx; squeeze narrows it horizontally.
Path CapText(const Font& font, const std::string& text, double cx, double top, double capHeight,
             double squeeze = 1.0);
// The same, left-aligned at x; *width receives its width.
Path CapTextLeft(const Font& font, const std::string& text, double x, double top, double capHeight,
                 double* width = nullptr);

}  // namespace art
