#include "field/field_test_support.h"

#include <cstdio>

#include "platform/drawing.h"
#include "platform/image_gdi.h"
#include "e2e/process_counts.h"

using namespace corvelle;

namespace {

std::vector<COLORREF> ReadBits(HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFO bi = TopDownDibInfo(width, height);
    std::vector<uint32_t> raw(static_cast<size_t>(width) * height);
    if (!GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), raw.data(), &bi, DIB_RGB_COLORS)) return {};
    std::vector<COLORREF> out(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        uint32_t p = raw[i];  // 0x00RRGGBB
        out[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    return out;
}

}  // namespace

Surface::Surface(int cx, int cy, COLORREF fill) : width(cx), height(cy) {
    HDC screen = ::GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, cx, cy);
    ReleaseDC(nullptr, screen);
    previous = SelectObject(dc, bitmap);
    Fill(fill);
}

Surface::~Surface() {
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

void Surface::Fill(COLORREF c) {
    HBRUSH brush = CreateSolidBrush(c);
    RECT r{0, 0, width, height};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

std::vector<COLORREF> Surface::Pixels() const {
    // The bitmap is read while selected; GDI allows this for memory DCs here.
    SelectObject(dc, previous);
    std::vector<COLORREF> out = ReadBits(dc, bitmap, width, height);
    SelectObject(dc, bitmap);
    return out;
}

bool Surface::WriteBmp(const std::string& file) const {
    std::vector<COLORREF> px = Pixels();
    if (px.empty()) return false;
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t size = stride * static_cast<uint32_t>(height);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + size;
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = size;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::vector<unsigned char> row(stride, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = px[static_cast<size_t>(y) * width + x];
            row[x * 3 + 0] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
        std::fwrite(row.data(), 1, stride, f);
    }
    return std::fclose(f) == 0;
}

ArtPixels ReadArt(uint16_t id) {
    ArtPixels art;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return art;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    art.width = info.bmWidth;
    art.height = info.bmHeight;
    art.pixels = ReadBits(screen, bitmap, art.width, art.height);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return art;
}

// Live GDI objects of this process: the system's count where it keeps one,
// else the entries of the process's GDI handle table that hold an object.
int LiveGdiObjects() { return drive::GdiObjectsOf(GetCurrentProcess()); }

