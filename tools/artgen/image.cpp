#include "image.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace art {

namespace {
uint8_t Byte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

uint32_t Over(const Color& p, const Color& back) {
    // p is premultiplied, back straight and opaque.
    float r = p.r + back.r * (1 - p.a), g = p.g + back.g * (1 - p.a), b = p.b + back.b * (1 - p.a);
    return (uint32_t{Byte(r)} << 16) | (uint32_t{Byte(g)} << 8) | Byte(b);
}

uint32_t OffKey(uint32_t c, uint32_t key) {
    if (c != key) return c;
    // Lower the green channel (or raise it when it is 0) by one step.
    uint32_t g = (c >> 8) & 0xFF;
    g = g > 0 ? g - 1 : 1;
    return (c & 0xFF00FF) | (g << 8);
}

void Put16(std::ofstream& o, uint16_t v) { o.put(static_cast<char>(v & 0xFF)).put(static_cast<char>(v >> 8)); }
void Put32(std::ofstream& o, uint32_t v) {
    Put16(o, static_cast<uint16_t>(v & 0xFFFF));
    Put16(o, static_cast<uint16_t>(v >> 16));
}
}  // namespace

uint32_t Image::Get(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

void Image::Put(int x, int y, uint32_t c) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    p[0] = static_cast<uint8_t>(c >> 16);
    p[1] = static_cast<uint8_t>(c >> 8);
    p[2] = static_cast<uint8_t>(c);
}

Image Opaque(const Canvas& c, Color backdrop) {
    Image img{c.GetWidth(), c.GetHeight(), std::vector<uint8_t>(static_cast<size_t>(c.GetWidth()) * c.GetHeight() * 3)};
    for (int y = 0; y < c.GetHeight(); ++y)
        for (int x = 0; x < c.GetWidth(); ++x) img.Put(x, y, OffKey(Over(c.At(x, y), backdrop), kKeyGreen));
    return img;
}

Image Keyed(const Canvas& c, uint32_t key, Color matte, float threshold) {
    Image img{c.GetWidth(), c.GetHeight(), std::vector<uint8_t>(static_cast<size_t>(c.GetWidth()) * c.GetHeight() * 3)};
    for (int y = 0; y < c.GetHeight(); ++y) {
        for (int x = 0; x < c.GetWidth(); ++x) {
            const Color& p = c.At(x, y);
            if (p.a < threshold) {
                img.Put(x, y, key);
                continue;
            }
            img.Put(x, y, OffKey(OffKey(Over(p, matte), key), kKeyGreen));
        }
    }
    return img;
}

bool WriteBmp(const std::string& file, const Image& image) {
    std::ofstream o(file, std::ios::binary);
    if (!o) return false;
    uint32_t stride = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    uint32_t size = stride * static_cast<uint32_t>(image.height);
    o.write("BM", 2);
    Put32(o, 14 + 40 + size);
    Put32(o, 0);
    Put32(o, 14 + 40);
    Put32(o, 40);
    Put32(o, static_cast<uint32_t>(image.width));
    Put32(o, static_cast<uint32_t>(image.height));  // bottom-up
    Put16(o, 1);
    Put16(o, 24);
    Put32(o, 0);  // BI_RGB
    Put32(o, size);
    Put32(o, 2835);  // 72 dpi
    Put32(o, 2835);
    Put32(o, 0);
    Put32(o, 0);
    std::vector<char> row(stride, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            uint32_t c = image.Get(x, y);
            row[x * 3 + 0] = static_cast<char>(c & 0xFF);
            row[x * 3 + 1] = static_cast<char>((c >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((c >> 16) & 0xFF);
        }
        o.write(row.data(), stride);
    }
    o.close();   // a failed final flush shows only here
    return static_cast<bool>(o);
}

bool WriteIco(const std::string& file, const std::vector<const Canvas*>& images) {
    std::ofstream o(file, std::ios::binary);
    if (!o) return false;
    Put16(o, 0);
    Put16(o, 1);  // icon
    Put16(o, static_cast<uint16_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    auto bytesOf = [](const Canvas* c) {
        uint32_t maskStride = ((static_cast<uint32_t>(c->GetWidth()) + 31) / 32) * 4;
        return 40 + static_cast<uint32_t>(c->GetWidth() * c->GetHeight()) * 4 + maskStride * c->GetHeight();
    };
    for (const Canvas* c : images) {
        o.put(static_cast<char>(c->GetWidth())).put(static_cast<char>(c->GetHeight())).put(0).put(0);
        Put16(o, 1);
        Put16(o, 32);
        Put32(o, bytesOf(c));
        Put32(o, offset);
        offset += bytesOf(c);
    }
    for (const Canvas* c : images) {
        int w = c->GetWidth(), h = c->GetHeight();
        uint32_t maskStride = ((static_cast<uint32_t>(w) + 31) / 32) * 4;
        Put32(o, 40);
        Put32(o, static_cast<uint32_t>(w));
        Put32(o, static_cast<uint32_t>(h * 2));
        Put16(o, 1);
        Put16(o, 32);
        Put32(o, 0);
        Put32(o, static_cast<uint32_t>(w * h) * 4 + maskStride * h);
        for (int k = 0; k < 4; ++k) Put32(o, 0);
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                const Color& p = c->At(x, y);
                float a = p.a;
                auto un = [a](float v) { return a > 0 ? v / a : 0.0f; };
                o.put(static_cast<char>(Byte(un(p.b)))).put(static_cast<char>(Byte(un(p.g))));
                o.put(static_cast<char>(Byte(un(p.r)))).put(static_cast<char>(Byte(a)));
            }
        }
        for (int y = h - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskStride, 0);
            for (int x = 0; x < w; ++x)
                if (Byte(c->At(x, y).a) == 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            o.write(reinterpret_cast<const char*>(row.data()), maskStride);
        }
    }
    o.close();   // a failed final flush shows only here
    return static_cast<bool>(o);
}

}  // namespace art
