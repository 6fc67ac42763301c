// A plain 32-bit image (rows from the top, pixels 0x00RRGGBB as in a 32-bit
// DIB, i.e. bytes B, G, R, 0 in memory), with no windows.h: the resampler,
// the BMP coder and the GDI helpers all work on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvelle {

struct PixelImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;   // width * height, row by row from the top

    PixelImage() = default;
    PixelImage(int32_t w, int32_t h, uint32_t fill = 0)
        : width(w > 0 && h > 0 ? w : 0), height(w > 0 && h > 0 ? h : 0),
          pixels(static_cast<size_t>(width) * static_cast<size_t>(height), fill) {}

    bool IsEmpty() const { return pixels.empty(); }
    void Clear() { width = height = 0; pixels.clear(); }
    uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
    uint32_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};

}  // namespace corvelle
