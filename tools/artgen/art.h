// The pictures of the program, drawn from code. Every function draws one
// picture (or one family) and hands the finished images to an ArtSink.
#pragma once

#include <string>

#include "canvas.h"
#include "font.h"
#include "image.h"

namespace art {

struct Fonts {
    Font sansBold;
    Font sans;
    Font serifBold;
    Font condensedBold;
};

class ArtSink {
public:
    virtual ~ArtSink() = default;
    virtual void Bitmap(int id, const std::string& name, const Image& image) = 0;
    virtual void Icon(int id, const std::string& name, const Canvas& small, const Canvas& big) = 0;
};

// Card suits as the game field numbers them: 0 clubs, 1 spades (black),
// 2 diamonds, 3 hearts (red). Ranks 0 (ace) to 12 (king).
constexpr int kSuits = 4;
constexpr int kRanks = 13;
inline bool IsRed(int suit) { return suit >= 2; }

// The outline of a suit symbol in a box of height 1 centred on the origin.
Path SuitShape(int suit);

void DrawCards(const Fonts& fonts, ArtSink& sink);
void DrawIcons(const Fonts& fonts, ArtSink& sink);
void DrawPictures(const Fonts& fonts, ArtSink& sink);

// A small playing card at (x, y) of size w x h, turned by `angle` about its
// centre (or about *pivot), with a suit symbol (none for suit -1).
void MiniCard(Canvas& c, double x, double y, double w, double h, double angle, int suit, double line,
              const Pt* pivot = nullptr);

// Colours shared by the card and icon artwork.
Color InkBlack();
Color InkRed();
Color TableGreen();
// The ink of a suit's symbols: red or black.
Color SuitInk(int suit);

}  // namespace art
