// Time to build the card images (CCardImageSet) into a back buffer
// compatible with the screen and draw each card once (its image is
// composed at its first drawing), as a field that shows every card does.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "field/card_painter.h"
#include "bench/bench_stats.h"

using namespace corvelle;

int main() {
    HDC screen = GetDC(nullptr);
    HDC buffer = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 800, 600);
    HGDIOBJ old = SelectObject(buffer, bitmap);
    ReleaseDC(nullptr, screen);

    CCardPainter painter;
    painter.cardWidth = 79;
    painter.cardHeight = 112;
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    const int runs = 30;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&t0);
        auto* images = new CCardImageSet(buffer, &painter, 79, 112);
        for (uint32_t card = 0; card < CardArt::kFaces; ++card)
            images->DrawFace(buffer, 0, 0, card / CardArt::kRanks, card % CardArt::kRanks);
        for (uint32_t n = 0; n < CardArt::kBacks; ++n) images->DrawBack(buffer, 0, 0, n);
        QueryPerformanceCounter(&t1);
        delete images;
        ms.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart));
    }
    std::printf("CCardImageSet build and every card drawn once: first %.2f ms, median %.2f ms, best %.2f ms (%d runs; target < 15 ms)\n", ms.front(),
                bench::Median(ms), bench::Quantile(ms, 0), runs);

    SelectObject(buffer, old);
    DeleteObject(bitmap);
    DeleteDC(buffer);
    return 0;
}
