// The benchmarks' statistics, one definition for all of them: quantiles of
// the samples (the median the middle sample, or the mean of the two middle
// ones for an even count) and the median time per call of a timed body.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace corvelle::bench {

// The value below which the given share of the samples lies: the sorted
// samples read at share x (count - 1), between two samples on the line
// joining them. 0 for no samples.
inline double Quantile(std::vector<double> samples, double share) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const double at = std::clamp(share, 0.0, 1.0) * static_cast<double>(samples.size() - 1);
    const size_t below = static_cast<size_t>(std::floor(at));
    const size_t above = std::min(below + 1, samples.size() - 1);
    return samples[below] + (samples[above] - samples[below]) * (at - static_cast<double>(below));
}

inline double Median(std::vector<double> samples) { return Quantile(std::move(samples), 0.5); }

// The median over `rounds` rounds of the time of one call of `body(k)`, in
// nanoseconds; each round times `perRound` calls (k = 0 .. perRound - 1).
template <typename F>
double MedianNanoseconds(int rounds, int perRound, F&& body) {
    std::vector<double> samples;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (int k = 0; k < perRound; ++k)
            body(k);
        samples.push_back(std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() /
                          perRound);
    }
    return Median(std::move(samples));
}

}  // namespace corvelle::bench
