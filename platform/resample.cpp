// The separable resampler: each axis gets a table of source taps and
// fixed-point weights per destination position, the rows are resampled
// first and the columns of that result after.
#include "platform/resample.h"

#include <algorithm>
#include <cmath>

namespace corvelle {

namespace {

constexpr int kWeightBits = 14;
constexpr int32_t kWeightOne = 1 << kWeightBits;
// Beyond this many pixels a request is refused (a broken size, not a picture).
constexpr int64_t kMaxPixels = int64_t{1} << 26;

// Source taps of every destination position along one axis: positions
// [offset[i], offset[i + 1]) of index and weight; the weights of one
// position sum to kWeightOne and every index lies inside the source.
struct AxisTaps {
    std::vector<int32_t> offset;
    std::vector<int32_t> index;
    std::vector<int32_t> weight;
};

// The cubic B-spline kernel (support -2 .. 2, sums to 1 at any phase).
double BSpline(double d) {
    d = std::fabs(d);
    if (d < 1.0) return (4.0 - 6.0 * d * d + 3.0 * d * d * d) / 6.0;
    if (d < 2.0) {
        double e = 2.0 - d;
        return e * e * e / 6.0;
    }
    return 0.0;
}

// Appends one destination position's taps, turning the real weights into
// fixed point whose sum is exactly kWeightOne.
void AddPosition(AxisTaps& taps, const int32_t* index, const double* weight, int count) {
    int32_t sum = 0;
    int largest = 0;
    size_t first = taps.weight.size();
    for (int k = 0; k < count; ++k) {
        auto w = static_cast<int32_t>(std::lround(weight[k] * kWeightOne));
        taps.index.push_back(index[k]);
        taps.weight.push_back(w);
        sum += w;
        if (w > taps.weight[first + static_cast<size_t>(largest)]) largest = k;
    }
    taps.weight[first + static_cast<size_t>(largest)] += kWeightOne - sum;
    taps.offset.push_back(static_cast<int32_t>(taps.index.size()));
}

AxisTaps BuildTaps(int32_t sourceSize, int32_t size) {
    AxisTaps taps;
    taps.offset.push_back(0);
    const double scale = static_cast<double>(sourceSize) / size;
    std::vector<int32_t> index;
    std::vector<double> weight;
    for (int32_t i = 0; i < size; ++i) {
        index.clear();
        weight.clear();
        if (size == sourceSize) {
            index.push_back(i);
            weight.push_back(1.0);
        } else if (size > sourceSize) {
            // Growing: the B-spline around the destination pixel's centre,
            // edge pixels standing in for those beyond the edge.
            double u = (i + 0.5) * scale - 0.5;
            double base = std::floor(u);
            for (int k = -1; k <= 2; ++k) {
                double at = base + k;
                index.push_back(static_cast<int32_t>(std::clamp(at, 0.0, sourceSize - 1.0)));
                weight.push_back(BSpline(at - u));
            }
        } else {
            // Shrinking: the average of the source span the pixel covers,
            // each source pixel weighted by its overlap.
            double start = i * scale;
            double end = std::min((i + 1) * scale, static_cast<double>(sourceSize));
            auto j = static_cast<int32_t>(std::floor(start));
            for (; j < sourceSize && j < end; ++j) {
                double overlap = std::min(end, j + 1.0) - std::max(start, static_cast<double>(j));
                if (overlap <= 0.0) continue;
                index.push_back(j);
                weight.push_back(overlap / scale);
            }
        }
        AddPosition(taps, index.data(), weight.data(), static_cast<int>(index.size()));
    }
    return taps;
}

uint32_t Channel(int32_t sum, int shift) {
    int32_t v = (sum + kWeightOne / 2) >> kWeightBits;
    return static_cast<uint32_t>(std::clamp(v, 0, 255)) << shift;
}

// sum[i] += w * bytes[i] for every byte of a row of pixels (blue, green, red
// and the unused byte of each pixel, in memory order on the little-endian
// machines the program runs on): a loop the compiler vectorises.
void AddWeightedRow(int32_t* __restrict sum, const uint8_t* __restrict bytes, size_t count, int32_t w) {
    for (size_t i = 0; i < count; ++i) sum[i] += w * static_cast<int32_t>(bytes[i]);
}

}  // namespace

PixelImage ResampleImage(const PixelImage& source, int32_t width, int32_t height) {
    if (source.IsEmpty() || width <= 0 || height <= 0) return PixelImage();
    if (int64_t{width} * height > kMaxPixels) return PixelImage();
    if (width == source.width && height == source.height) {
        PixelImage copy = source;
        for (uint32_t& p : copy.pixels) p &= 0x00FFFFFFu;
        return copy;
    }

    // Rows: source height x destination width. The tables are read through
    // plain pointers so the compiler need not reload them after each store.
    const AxisTaps columns = BuildTaps(source.width, width);
    const int32_t* columnOffset = columns.offset.data();
    const int32_t* columnIndex = columns.index.data();
    const int32_t* columnWeight = columns.weight.data();
    PixelImage rows(width, source.height);
    for (int32_t y = 0; y < source.height; ++y) {
        const uint32_t* in = &source.pixels[static_cast<size_t>(y) * static_cast<size_t>(source.width)];
        uint32_t* out = &rows.pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int32_t x = 0; x < width; ++x) {
            int32_t b = 0, g = 0, r = 0;
            for (int32_t t = columnOffset[x], end = columnOffset[x + 1]; t < end; ++t) {
                uint32_t p = in[columnIndex[t]];
                int32_t w = columnWeight[t];
                b += w * static_cast<int32_t>(p & 0xFF);
                g += w * static_cast<int32_t>((p >> 8) & 0xFF);
                r += w * static_cast<int32_t>((p >> 16) & 0xFF);
            }
            out[x] = Channel(b, 0) | Channel(g, 8) | Channel(r, 16);
        }
    }

    // Columns of that result, a whole row of sums at a time.
    const AxisTaps lines = BuildTaps(source.height, height);
    PixelImage result(width, height);
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    std::vector<int32_t> sums(rowBytes);
    const int32_t* sum = sums.data();
    for (int32_t y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int32_t t = lines.offset[static_cast<size_t>(y)]; t < lines.offset[static_cast<size_t>(y) + 1]; ++t) {
            const uint32_t* in = &rows.pixels[static_cast<size_t>(lines.index[static_cast<size_t>(t)]) * static_cast<size_t>(width)];
            AddWeightedRow(sums.data(), reinterpret_cast<const uint8_t*>(in), rowBytes,
                           lines.weight[static_cast<size_t>(t)]);
        }
        uint32_t* out = &result.pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int32_t x = 0; x < width; ++x) {
            const int32_t* s = &sum[static_cast<size_t>(x) * 4];
            out[x] = Channel(s[0], 0) | Channel(s[1], 8) | Channel(s[2], 16);
        }
    }
    return result;
}

}  // namespace corvelle
