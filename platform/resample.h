// Separable resampling of a PixelImage to any size: along each axis a cubic
// B-spline when the image grows, an area average when it shrinks, and a
// plain copy when the size stays. Pixels beyond the edges are the edge
// pixels repeated; nothing outside the source is ever read.
#pragma once

#include "platform/pixel_image.h"

namespace corvelle {

// The source resampled to width x height. An empty source or a size that is
// not positive gives an empty image.
PixelImage ResampleImage(const PixelImage& source, int32_t width, int32_t height);

}  // namespace corvelle
