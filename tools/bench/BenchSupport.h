// Timing and memory figures for the benchmark programs. Figures are printed,
// never asserted: goals are read off the table.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double NowMs() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Median wall time of `runs` calls of work, in milliseconds.
template <class Work>
double MedianMs(int runs, Work&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = NowMs();
        work();
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline size_t PeakWorkingSetBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

inline size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    return counters.PrivateUsage;
}

// One row: a figure beside its floor or peer, as a ratio.
inline void PrintRow(const std::string& what, double value, const std::string& peerName, double peer,
                     const char* unit = "ms") {
    std::printf("| %-46s | %10.3f %s | %-30s | %10.3f %s | %6.2fx |\n", what.c_str(), value, unit,
                peerName.c_str(), peer, unit, peer > 0 ? value / peer : 0.0);
    std::fflush(stdout);
}

inline void PrintHeader(const char* title) {
    std::printf("\n%s\n| %-46s | %13s | %-30s | %13s | %7s |\n", title, "figure", "value", "beside", "value",
                "ratio");
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(48, '-').c_str(), std::string(15, '-').c_str(),
                std::string(32, '-').c_str(), std::string(15, '-').c_str(), std::string(9, '-').c_str());
}

}  // namespace bench
