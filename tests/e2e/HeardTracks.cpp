#include "HeardTracks.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace kbtest {

namespace {

uint32_t le32(const QByteArray& b, qsizetype at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16
           | uint32_t(uint8_t(b[at + 3])) << 24;
}

uint16_t le16(const QByteArray& b, qsizetype at)
{
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

int peakOf(const std::vector<int16_t>& pcm)
{
    int peak = 0;
    for (int16_t s : pcm)
        peak = std::max(peak, std::abs(int(s)));
    return peak;
}

struct Place {
    int track;
    int64_t frame;
};

class Matcher {
public:
    Matcher(const std::vector<int16_t>& recorded, const std::vector<std::vector<int16_t>>& tracks, double gain,
            int tolerance)
        : rec_(recorded), tracks_(tracks), gain_(gain), tolerance_(tolerance), byRight_(65536)
    {
        for (size_t t = 0; t < tracks.size(); ++t)
            for (size_t f = 0; f < tracks[t].size() / 2; ++f)
                byRight_[size_t(tracks[t][2 * f + 1] + 32768)].push_back({int(t), int64_t(f)});
    }

    int64_t frames() const { return int64_t(rec_.size() / 2); }
    int64_t trackFrames(int track) const { return int64_t(tracks_[size_t(track)].size() / 2); }

    bool same(int64_t at, int track, int64_t frame) const
    {
        const auto& pcm = tracks_[size_t(track)];
        for (int c = 0; c < 2; ++c) {
            const double expected = pcm[size_t(2 * frame + c)] * gain_;
            if (std::abs(rec_[size_t(2 * at + c)] - expected) > tolerance_)
                return false;
        }
        return true;
    }

    bool silent(int64_t at) const
    {
        return std::abs(int(rec_[size_t(2 * at)])) <= tolerance_
               && std::abs(int(rec_[size_t(2 * at + 1)])) <= tolerance_;
    }

    // The place in the tracks the frames from `at` on reproduce, if any.
    bool locate(int64_t at, Place& place) const
    {
        const int64_t window = std::min<int64_t>(32, frames() - at);
        if (window < 8 || gain_ <= 0)
            return false;
        const int centre = int(std::lround(rec_[size_t(2 * at + 1)] / gain_));
        const int reach = int(std::ceil(tolerance_ / gain_)) + 1;
        for (int key = std::max(-32768, centre - reach); key <= std::min(32767, centre + reach); ++key) {
            for (const Place& candidate : byRight_[size_t(key + 32768)]) {
                if (candidate.frame + window > trackFrames(candidate.track))
                    continue;
                int64_t k = 0;
                while (k < window && same(at + k, candidate.track, candidate.frame + k))
                    ++k;
                if (k == window) {
                    place = candidate;
                    return true;
                }
            }
        }
        return false;
    }

private:
    const std::vector<int16_t>& rec_;
    const std::vector<std::vector<int16_t>>& tracks_;
    double gain_;
    int tolerance_;
    std::vector<std::vector<Place>> byRight_; // every track frame, by its right-channel sample
};

} // namespace

bool readWavPcm(const QString& path, std::vector<int16_t>& pcm)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray b = file.readAll();
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return false;
    bool pcm16Stereo = false;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const qsizetype size = qsizetype(le32(b, at + 4));
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= b.size())
            pcm16Stereo = le16(b, body) == 1 && le16(b, body + 2) == 2 && le16(b, body + 14) == 16;
        if (id == "data") {
            if (!pcm16Stereo)
                return false;
            const qsizetype bytes = std::min(size, b.size() - body) / 4 * 4;
            pcm.resize(size_t(bytes / 2));
            for (qsizetype i = 0; i < bytes / 2; ++i)
                pcm[size_t(i)] = int16_t(le16(b, body + 2 * i));
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

HeardTracks findHeardTracks(const std::vector<int16_t>& recorded, const std::vector<std::vector<int16_t>>& tracks,
                            int tolerance)
{
    HeardTracks heard;
    int peak = 0;
    for (const auto& t : tracks)
        peak = std::max(peak, peakOf(t));
    heard.gain = peak > 0 ? double(peakOf(recorded)) / peak : 0;

    const Matcher m(recorded, tracks, heard.gain, tolerance);
    HeardPiece* current = nullptr;
    int64_t gap = 0;
    for (int64_t at = 0; at < m.frames();) {
        // Carrying on where the current piece stands, even after silence: a pause or a
        // drop-out that loses no samples does not start a new piece.
        if (current && current->end < m.trackFrames(current->track - 1)
            && m.same(at, current->track - 1, current->end)) {
            ++current->end;
            ++at;
            gap = 0;
            continue;
        }
        Place place{};
        if (m.locate(at, place)) {
            heard.pieces.push_back({place.track + 1, place.frame, place.frame, gap});
            current = &heard.pieces.back();
            continue;
        }
        (m.silent(at) ? heard.silentFrames : heard.strayFrames) += 1;
        ++gap;
        ++at;
    }
    return heard;
}

std::string HeardTracks::describe() const
{
    std::ostringstream out;
    out << "recorded at gain " << gain << ", " << silentFrames << " silent and " << strayFrames
        << " unrecognised frames; pieces heard:\n";
    for (const HeardPiece& p : pieces)
        out << "  track " << p.track << " frames " << p.first << ".." << p.end << " (after " << p.gapBefore
            << " other frames)\n";
    return out.str();
}

} // namespace kbtest
