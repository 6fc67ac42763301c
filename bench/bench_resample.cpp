// The resampler on the sizes the game field uses: the 890 x 700 background
// picture stretched to a 1100 x 800 field (target under 15 ms), and shrunk to
// a 220 x 160 preview. Median of several rounds, random picture contents.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/resample.h"
#include "bench/bench_stats.h"

using namespace corvelle;
using Clock = std::chrono::steady_clock;

namespace {

double MedianMilliseconds(const PixelImage& source, int32_t width, int32_t height) {
    std::vector<double> samples;
    volatile uint32_t sink = 0;
    for (int round = 0; round < 15; ++round) {
        const auto start = Clock::now();
        PixelImage out = ResampleImage(source, width, height);
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        sink = sink + out.pixels[out.pixels.size() / 2];
    }
    return bench::Median(std::move(samples));
}

}  // namespace

int main() {
    PixelImage picture(890, 700);
    std::srand(1);
    for (uint32_t& p : picture.pixels) p = static_cast<uint32_t>(std::rand()) & 0xFFFFFF;
    std::printf("resample 890x700 -> 1100x800: %.2f ms (target < 15 ms)\n",
                MedianMilliseconds(picture, 1100, 800));
    std::printf("resample 890x700 -> 220x160:  %.2f ms\n", MedianMilliseconds(picture, 220, 160));
    std::printf("resample 890x700 -> 1780x1400: %.2f ms\n", MedianMilliseconds(picture, 1780, 1400));
    return 0;
}
