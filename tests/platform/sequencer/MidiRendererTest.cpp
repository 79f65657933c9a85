#include "platform/mci/sequencer/MidiRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace kb::mci::seq;

TEST(MidiRenderer, NotesStartOnTheirFrameWhateverTheBlockSize)
{
    const std::string font = findSoundFont();
    ASSERT_FALSE(font.empty());
    constexpr int kRate = 44100;
    // Note-ons at odd times that fall inside large render blocks, each after silence.
    const std::vector<int64_t> onsetsUs = {500'123, 1'250'777, 2'001'001};
    std::vector<int16_t> reference;
    for (const int block : {333, 4096, 8192}) {
        SCOPED_TRACE(block);
        MidiRenderer renderer;
        ASSERT_EQ(renderer.load(font, kRate), MidiRenderer::LoadResult::Ok);
        MidiSong song;
        song.lengthUs = 2'500'000;
        for (const int64_t at : onsetsUs) {
            song.events.push_back({at, 0, {0x90, 60, 110}});
            song.events.push_back({at + 100'000, 0, {0x80, 60, 0}});
        }
        // Sound that has died away before the next onset is judged.
        song.events.push_back({0, 0, {0xB0, 91, 0}}); // reverb send off
        song.events.push_back({0, 0, {0xB0, 93, 0}}); // chorus send off
        std::stable_sort(song.events.begin(), song.events.end(),
                         [](const MidiEvent& a, const MidiEvent& b) { return a.timeUs < b.timeUs; });
        renderer.setSong(song);
        std::vector<int16_t> pcm(static_cast<size_t>(renderer.lengthFrames()) * 2);
        for (int64_t at = 0; at < renderer.lengthFrames(); at += block) {
            const int n = static_cast<int>(std::min<int64_t>(block, renderer.lengthFrames() - at));
            renderer.render(pcm.data() + at * 2, n);
        }
        for (const int64_t onset : onsetsUs) {
            const int64_t due = (onset * kRate + 999'999) / 1'000'000;
            // The quietest stretch just before the note; the first clearly audible frame after.
            int64_t first = -1;
            for (int64_t f = due - 2000; f < due + 4410 && first < 0; ++f)
                if (std::abs(pcm[static_cast<size_t>(2 * f)]) > 64)
                    first = f;
            ASSERT_GE(first, 0) << "no note near " << onset;
            EXPECT_GE(first, due) << "before its time";
            // The synth applies events at its own 64-frame steps; the rest is the attack.
            EXPECT_LE(first, due + 256) << "late by " << first - due << " frames";
        }
        // Larger blocks change nothing that is heard.
        if (reference.empty())
            reference = pcm;
        else
            EXPECT_TRUE(pcm == reference);
    }
}
