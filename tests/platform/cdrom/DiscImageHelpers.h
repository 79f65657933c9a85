#pragma once

#include "platform/cdrom/Disc.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace kbtest {

// `tracks` audio tracks of recognisable sound, sectorsEach + i sectors for track i.
inline kb::demodisc::DiscLayout imageLayout(int tracks, int sectorsEach)
{
    kb::demodisc::DiscLayout s;
    for (int i = 0; i < tracks; ++i) {
        kb::demodisc::ImageTrack t;
        t.pcm = kb::demodisc::testSignal(sectorsEach + i, i);
        s.tracks.push_back(std::move(t));
    }
    return s;
}

// `count` frames from `from`, expected to be read whole.
inline std::vector<int16_t> readFrames(kb::cdrom::Disc& disc, int from, int count)
{
    std::vector<int16_t> pcm(static_cast<size_t>(count) * kb::cdrom::kSamplesPerFrame * 2);
    EXPECT_EQ(disc.readAudio(from, count, pcm.data()), count);
    return pcm;
}

} // namespace kbtest
