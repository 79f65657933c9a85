#include "platform/cdrom/DiscToc.h"

namespace kb::cdrom {

const TocTrack* Toc::track(int number) const
{
    for (const TocTrack& t : tracks) {
        if (t.number == number)
            return &t;
    }
    return nullptr;
}

const TocTrack& Toc::trackAt(int frame) const
{
    const TocTrack* found = &tracks.front();
    for (const TocTrack& t : tracks) {
        if (t.start <= frame)
            found = &t;
    }
    return *found;
}

int Toc::trackLength(int number) const
{
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].number != number)
            continue;
        if (i + 1 < tracks.size())
            return tracks[i + 1].start - tracks[i].start;
        return leadOut - tracks[i].start - 1;
    }
    return 0;
}

uint32_t Toc::identity() const
{
    auto msfWeight = [](int frame) {
        const uint32_t m = static_cast<uint32_t>(frame / (60 * kFramesPerSecond));
        const uint32_t s = static_cast<uint32_t>(frame / kFramesPerSecond % 60);
        const uint32_t f = static_cast<uint32_t>(frame % kFramesPerSecond);
        return m * 65536u + s * 256u + f;
    };
    uint32_t sum = 0;
    for (const TocTrack& t : tracks)
        sum += msfWeight(t.start);
    if (!tracks.empty() && tracks.size() < 3) {
        sum += static_cast<uint32_t>(firstStart() % kFramesPerSecond);
        sum += static_cast<uint32_t>(leadOut - firstStart());
    }
    return sum;
}

std::string Toc::impossibility() const
{
    if (tracks.empty())
        return "no tracks";
    if (tracks.size() > static_cast<size_t>(kMaxTracks))
        return "more than 99 tracks";
    int previous = kLeadInFrames - 1;
    for (size_t i = 0; i < tracks.size(); ++i) {
        const TocTrack& t = tracks[i];
        if (t.number < 1 || t.number > kMaxTracks || (i > 0 && t.number != tracks[i - 1].number + 1))
            return "track numbers out of order";
        if (t.start <= previous)
            return "track " + std::to_string(t.number) + " does not start after the one before";
        previous = t.start;
    }
    if (leadOut <= previous)
        return "the lead-out is not after the last track";
    if (leadOut > kLastFrameAddress)
        return "longer than the 100 minutes a CD can address";
    return {};
}

} // namespace kb::cdrom
