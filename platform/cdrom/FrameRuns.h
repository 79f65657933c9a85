#pragma once

#include <algorithm>
#include <vector>

namespace kb::cdrom {

// The run of disc frames that holds `frame`, or nullptr: `runs` are sorted by discStart,
// each covering [discStart, discStart + count).
template <class Run>
const Run* runAt(const std::vector<Run>& runs, int frame)
{
    auto it = std::upper_bound(runs.begin(), runs.end(), frame, [](int f, const Run& r) { return f < r.discStart; });
    if (it == runs.begin())
        return nullptr;
    --it;
    return frame < it->discStart + it->count ? &*it : nullptr;
}

} // namespace kb::cdrom
