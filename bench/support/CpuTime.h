#pragma once

// Process CPU time, for the benchmarks that weigh our playback against a plain library loop
// doing the same work.

#include <ctime>

namespace kbbench {

// CPU seconds used so far by all threads of this process (decoder and mixer threads too).
inline double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// CPU seconds of one call of `work`, averaged over `rounds` calls; one unmeasured call
// first pays for whatever the first use sets up.
template <class Work>
double meanCpuSeconds(Work&& work, int rounds = 3)
{
    work();
    const double start = processCpuSeconds();
    for (int i = 0; i < rounds; ++i)
        work();
    return (processCpuSeconds() - start) / rounds;
}

} // namespace kbbench
