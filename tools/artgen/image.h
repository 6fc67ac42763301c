// Turning canvases into the 24-bit pictures the program loads: either opaque
// (composited over a backdrop) or keyed (uncovered pixels get the exact key
// colour, edges are blended with the colour the picture is expected to lie on).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace art {

constexpr uint32_t kKeyGreen = 0x00FF00;  // 0xRRGGBB
constexpr uint32_t kKeyWhite = 0xFFFFFF;

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top-down rows, R G B
    uint32_t Get(int x, int y) const;
    void Put(int x, int y, uint32_t rrggbb);
};

// Opaque: the canvas over `backdrop`; an accidental pure green (the key of
// the card images) is moved off the key by one step.
Image Opaque(const Canvas& c, Color backdrop);
// Keyed: pixels whose coverage is below `threshold` become `key`; the others
// are blended over `matte` and never equal the key.
Image Keyed(const Canvas& c, uint32_t key, Color matte, float threshold = 0.08f);

bool WriteBmp(const std::string& file, const Image& image);
// A Windows icon file with one 32-bit (alpha) image per canvas.
bool WriteIco(const std::string& file, const std::vector<const Canvas*>& images);

}  // namespace art
