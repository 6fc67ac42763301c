// The Windows benchmarks' clock: the performance counter in milliseconds.
#pragma once

#include <windows.h>

namespace corvelle::bench {

inline double NowMilliseconds() {
    LARGE_INTEGER freq, t;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

}  // namespace corvelle::bench
