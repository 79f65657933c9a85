#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace kbtest {

// One channel of interleaved stereo samples.
inline std::vector<int16_t> channel(const std::vector<int16_t>& stereo, int which)
{
    std::vector<int16_t> out;
    out.reserve(stereo.size() / 2);
    for (size_t i = static_cast<size_t>(which); i < stereo.size(); i += 2)
        out.push_back(stereo[i]);
    return out;
}

// Frequency from the rising zero crossings between the first and the last one.
inline double zeroCrossingFrequency(const std::vector<int16_t>& mono, int rate)
{
    int64_t first = -1, last = -1, count = 0;
    for (size_t i = 1; i < mono.size(); ++i)
        if (mono[i - 1] < 0 && mono[i] >= 0) {
            if (first < 0)
                first = static_cast<int64_t>(i);
            last = static_cast<int64_t>(i);
            ++count;
        }
    if (count < 2)
        return 0;
    return static_cast<double>(count - 1) * rate / static_cast<double>(last - first);
}

inline int peak(const std::vector<int16_t>& mono)
{
    int p = 0;
    for (int16_t s : mono)
        p = std::max(p, std::abs(static_cast<int>(s)));
    return p;
}

} // namespace kbtest
