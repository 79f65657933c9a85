#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kb::cdrom {

constexpr int kFramesPerSecond = 75;
constexpr int kLeadInFrames = 150;          // the 2 s before track 1 (00:02:00)
constexpr int kSamplesPerFrame = 588;       // stereo sample frames in one CD sector
constexpr int kBytesPerFrame = kSamplesPerFrame * 4;
constexpr int kLastFrameAddress = 99 * 60 * kFramesPerSecond + 59 * kFramesPerSecond + 74; // 99:59:74
constexpr int kMaxTracks = 99;

struct TocTrack {
    int number = 1;
    int start = kLeadInFrames; // absolute frame of INDEX 01, lead-in included
    bool audio = true;
};

// A disc's table of contents; every address is an absolute frame (lead-in included).
struct Toc {
    std::vector<TocTrack> tracks; // first to last, consecutive numbers
    int leadOut = kLeadInFrames;

    int firstTrack() const { return tracks.empty() ? 0 : tracks.front().number; }
    int lastTrack() const { return tracks.empty() ? 0 : tracks.back().number; }
    int trackCount() const { return static_cast<int>(tracks.size()); }
    int firstStart() const { return tracks.empty() ? kLeadInFrames : tracks.front().start; }

    // Track by number, or nullptr.
    const TocTrack* track(int number) const;
    // The last track whose start is at or before `frame` (the first track for earlier frames).
    const TocTrack& trackAt(int frame) const;
    // Frames of track `number`: up to the next start, the last one frame short of the lead-out.
    int trackLength(int number) const;
    // The disc: lead-out minus the first start, less one frame.
    int discLength() const { return leadOut - firstStart() - 1; }
    // How many of `count` frames from `frame` a read returns: 0 at or past the lead-out, -1
    // for a read that starts before track 1's lead-in ends or asks for nothing.
    int readableFrames(int frame, int count) const
    {
        if (frame >= leadOut)
            return 0;
        if (frame < kLeadInFrames || count <= 0)
            return -1;
        return count < leadOut - frame ? count : leadOut - frame;
    }

    // The per-disc number of "info identity".
    uint32_t identity() const;

    // Why no CD could carry this table of contents, or "" when one could: 1 to 99 tracks
    // numbered one after another, starts rising from 00:02:00, and a lead-out after the last
    // start that an address (at most 99:59:74) can still name.
    std::string impossibility() const;
};

struct DiscTitles {
    std::string album;                // disc TITLE
    std::string performer;            // disc PERFORMER
    std::vector<std::string> tracks;  // index = track number - first track
};

} // namespace kb::cdrom
