#include "platform/startup_timing.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace corvelle::startup_timing {

namespace {

struct Breakdown {
    bool on = false;
    std::wstring file;
    double last = 0;   // milliseconds on the performance counter
    std::vector<std::pair<const char*, double>> steps;
};

double NowMs() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

uint64_t Ticks(const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; }

Breakdown& Get() {
    static Breakdown b = [] {
        Breakdown made;
        wchar_t path[MAX_PATH];
        const DWORD n = ::GetEnvironmentVariableW(L"CORVELLE_STARTUP_TIMES", path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return made;
        made.on = true;
        made.file.assign(path, n);
        // The first step starts when the process was made: its creation
        // time, carried over to the performance counter.
        FILETIME created, exited, kernel, user, now;
        made.last = NowMs();
        if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) {
            ::GetSystemTimeAsFileTime(&now);
            if (Ticks(now) > Ticks(created)) made.last -= static_cast<double>(Ticks(now) - Ticks(created)) / 1e4;
        }
        return made;
    }();
    return b;
}

}  // namespace

bool On() { return Get().on; }

void Step(const char* name) {
    Breakdown& b = Get();
    if (!b.on) return;
    const double now = NowMs();
    b.steps.emplace_back(name, now - b.last);
    b.last = now;
}

void Finish() {
    Breakdown& b = Get();
    if (!b.on) return;
    b.on = false;
    FILE* out = ::_wfopen(b.file.c_str(), L"a");
    if (!out) return;
    for (size_t i = 0; i < b.steps.size(); ++i)
        std::fprintf(out, "%s%s=%.2f", i ? " " : "", b.steps[i].first, b.steps[i].second);
    std::fprintf(out, "\n");
    std::fclose(out);
}

}  // namespace corvelle::startup_timing
