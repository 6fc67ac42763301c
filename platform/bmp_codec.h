// BMP images in memory: encoding a PixelImage as a 24-bit bottom-up BMP file
// into a buffer from malloc (the caller releases it with free), and decoding
// 24- and 32-bit uncompressed BMP files (either row order) back, with every
// size checked against the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/pixel_image.h"

namespace corvelle {

// On success *data (from malloc) and *size hold the file. False for an
// empty image or when memory runs out (*data is then nullptr, *size 0).
bool EncodeBmp(const PixelImage& image, uint8_t** data, size_t* size);
// False (and *image empty) for anything but a well-formed uncompressed 24-
// or 32-bit BMP that fits in `size` bytes.
bool DecodeBmp(const uint8_t* data, size_t size, PixelImage* image);
// Writes the image as a BMP file at `path`; false when it cannot be encoded
// or the file is not written completely (its closing included, which is
// where a full disk shows).
bool WriteBmpFile(const PixelImage& image, const std::string& path);

}  // namespace corvelle
