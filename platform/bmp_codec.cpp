// BMP files in memory, written and read byte by byte (little-endian) so the
// code does not depend on the host's structure layout.
#include "platform/bmp_codec.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corvelle {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr int64_t kMaxPixels = int64_t{1} << 26;

void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

uint32_t Get16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t Get32(const uint8_t* p) {
    return Get16(p) | Get16(p + 2) << 16;
}

size_t RowBytes(int64_t width, int bitsPerPixel) {
    return static_cast<size_t>((width * bitsPerPixel + 31) / 32 * 4);
}

}  // namespace

bool EncodeBmp(const PixelImage& image, uint8_t** data, size_t* size) {
    *data = nullptr;
    *size = 0;
    if (image.IsEmpty() || int64_t{image.width} * image.height > kMaxPixels) return false;
    const size_t stride = RowBytes(image.width, 24);
    const size_t pixelBytes = stride * static_cast<size_t>(image.height);
    const size_t total = kFileHeaderSize + kInfoHeaderSize + pixelBytes;
    auto* out = static_cast<uint8_t*>(std::malloc(total));
    if (out == nullptr) return false;
    std::memset(out, 0, kFileHeaderSize + kInfoHeaderSize);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out + 2, static_cast<uint32_t>(total));
    Put32(out + 10, static_cast<uint32_t>(kFileHeaderSize + kInfoHeaderSize));
    uint8_t* info = out + kFileHeaderSize;
    Put32(info, kInfoHeaderSize);
    Put32(info + 4, static_cast<uint32_t>(image.width));
    Put32(info + 8, static_cast<uint32_t>(image.height));   // positive: bottom row first
    Put16(info + 12, 1);
    Put16(info + 14, 24);
    Put32(info + 20, static_cast<uint32_t>(pixelBytes));
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* row = out + kFileHeaderSize + kInfoHeaderSize +
                       static_cast<size_t>(image.height - 1 - y) * stride;
        std::memset(row, 0, stride);
        for (int32_t x = 0; x < image.width; ++x) {
            uint32_t p = image.At(x, y);
            row[x * 3] = static_cast<uint8_t>(p);
            row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(p >> 16);
        }
    }
    *data = out;
    *size = total;
    return true;
}

bool DecodeBmp(const uint8_t* data, size_t size, PixelImage* image) {
    image->Clear();
    if (data == nullptr || size < kFileHeaderSize + kInfoHeaderSize) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t pixelOffset = Get32(data + 10);
    const uint8_t* info = data + kFileHeaderSize;
    const uint32_t infoSize = Get32(info);
    if (infoSize < kInfoHeaderSize || infoSize > size - kFileHeaderSize) return false;
    const auto width = static_cast<int32_t>(Get32(info + 4));
    const auto rawHeight = static_cast<int32_t>(Get32(info + 8));
    const uint32_t planes = Get16(info + 12);
    const uint32_t bits = Get16(info + 14);
    const uint32_t compression = Get32(info + 16);
    if (planes != 1 || (bits != 24 && bits != 32) || compression != 0) return false;
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return false;
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    if (int64_t{width} * height > kMaxPixels) return false;
    const size_t stride = RowBytes(width, static_cast<int>(bits));
    if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > size ||
        stride * static_cast<size_t>(height) > size - pixelOffset) {
        return false;
    }
    PixelImage decoded(width, height);
    const size_t bytesPerPixel = bits / 8;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = data + pixelOffset +
                             static_cast<size_t>(topDown ? y : height - 1 - y) * stride;
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = row + static_cast<size_t>(x) * bytesPerPixel;
            decoded.At(x, y) = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                               static_cast<uint32_t>(p[2]) << 16;
        }
    }
    *image = std::move(decoded);
    return true;
}

bool WriteBmpFile(const PixelImage& image, const std::string& path) {
    uint8_t* data = nullptr;
    size_t size = 0;
    if (!EncodeBmp(image, &data, &size)) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(data, 1, size, f) == size;
    if (f != nullptr && std::fclose(f) != 0) ok = false;
    std::free(data);
    return ok;
}

}  // namespace corvelle
