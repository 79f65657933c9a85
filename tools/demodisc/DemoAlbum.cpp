#include "tools/demodisc/DemoAlbum.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace kb::demodisc {

namespace {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

struct Piece {
    const char* title;
    double bpm;
    int rootMidi;   // key
    int bars;
    unsigned seed;
    double brightness; // harmonics of the lead
};

double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Attack, decay to sustain, release at the end of the note.
double envelope(double t, double length, double attack, double decay, double sustain)
{
    if (t < 0 || t > length + 0.25)
        return 0;
    double level = t < attack ? t / attack
        : t < attack + decay ? 1.0 - (1.0 - sustain) * (t - attack) / decay
                             : sustain;
    if (t > length)
        level *= std::max(0.0, 1.0 - (t - length) / 0.25);
    return level;
}

class Mixer {
public:
    explicit Mixer(size_t frames) : left_(frames), right_(frames) {}

    void add(size_t at, double l, double r)
    {
        if (at < left_.size()) {
            left_[at] += l;
            right_[at] += r;
        }
    }

    void tone(double start, double length, double hz, double gain, double pan, int harmonics,
              double attack, double decay, double sustain)
    {
        const size_t first = static_cast<size_t>(start * kRate);
        const size_t count = static_cast<size_t>((length + 0.25) * kRate);
        for (size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            double v = 0;
            for (int h = 1; h <= harmonics; ++h)
                v += std::sin(2 * kPi * hz * h * t) / h;
            v *= gain * envelope(t, length, attack, decay, sustain);
            add(first + i, v * (1 - pan), v * (1 + pan));
        }
    }

    void kick(double start)
    {
        const size_t first = static_cast<size_t>(start * kRate);
        double phase = 0;
        for (size_t i = 0; i < static_cast<size_t>(0.3 * kRate); ++i) {
            const double t = static_cast<double>(i) / kRate;
            phase += 2 * kPi * (50 + 110 * std::exp(-t * 30)) / kRate;
            const double v = 0.55 * std::sin(phase) * std::exp(-t * 9);
            add(first + i, v, v);
        }
    }

    void noise(double start, double length, double gain, double decay, std::minstd_rand& rng)
    {
        const size_t first = static_cast<size_t>(start * kRate);
        std::uniform_real_distribution<double> d(-1, 1);
        double previous = 0;
        for (size_t i = 0; i < static_cast<size_t>(length * kRate); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double n = d(rng);
            const double v = gain * (n - previous) * std::exp(-t * decay); // brighter than white
            previous = n;
            add(first + i, v, v);
        }
    }

    std::vector<int16_t> pcm() const
    {
        double peak = 1e-9;
        for (size_t i = 0; i < left_.size(); ++i)
            peak = std::max({peak, std::abs(left_[i]), std::abs(right_[i])});
        const double scale = 0.85 * 32767 / peak;
        std::vector<int16_t> out(left_.size() * 2);
        for (size_t i = 0; i < left_.size(); ++i) {
            out[2 * i] = static_cast<int16_t>(std::lround(left_[i] * scale));
            out[2 * i + 1] = static_cast<int16_t>(std::lround(right_[i] * scale));
        }
        return out;
    }

private:
    std::vector<double> left_;
    std::vector<double> right_;
};

std::vector<int16_t> render(const Piece& p)
{
    const double beat = 60.0 / p.bpm;
    const double seconds = p.bars * 4 * beat + 1.0;
    Mixer mix(static_cast<size_t>(seconds * kRate));
    std::minstd_rand rng(p.seed);
    static const int progression[4][3] = {{0, 4, 7}, {7, 11, 14}, {9, 12, 16}, {5, 9, 12}};
    static const int pentatonic[] = {0, 2, 4, 7, 9, 12, 14, 16};
    int step = 3;
    for (int bar = 0; bar < p.bars; ++bar) {
        const double t0 = bar * 4 * beat;
        const int* chord = progression[bar % 4];
        for (int v = 0; v < 3; ++v)
            mix.tone(t0, 4 * beat * 0.95, midiHz(p.rootMidi + chord[v]), 0.05, (v - 1) * 0.4, 3,
                     0.3, 0.5, 0.7);
        for (int b = 0; b < 4; ++b) {
            mix.tone(t0 + b * beat, beat * 0.8, midiHz(p.rootMidi - 24 + chord[0] % 12), 0.16, 0, 4,
                     0.01, 0.15, 0.5);
            if (b % 2 == 0)
                mix.kick(t0 + b * beat);
            else
                mix.noise(t0 + b * beat, 0.2, 0.18, 14, rng);
            mix.noise(t0 + b * beat + beat / 2, 0.05, 0.06, 60, rng);
        }
        // Melody: a walk over the pentatonic scale in eighths, with rests.
        for (int e = 0; e < 8; ++e) {
            step = std::clamp(step + static_cast<int>(rng() % 5) - 2, 0, 7);
            if (rng() % 6 == 0)
                continue;
            const double len = beat / 2 * (rng() % 4 == 0 ? 1.8 : 0.9);
            mix.tone(t0 + e * beat / 2, len, midiHz(p.rootMidi + 12 + pentatonic[step]), 0.12,
                     0.25, static_cast<int>(p.brightness), 0.01, 0.1, 0.6);
        }
    }
    return mix.pcm();
}

} // namespace

DiscLayout demoAlbum()
{
    static const Piece pieces[] = {
        {"Cobalt Morning", 112, 57, 12, 11, 4},
        {"Tram Lines", 128, 60, 14, 23, 6},
        {"Slow Harbour", 84, 55, 8, 37, 2},
        {"Neon Arcade", 140, 62, 20, 41, 7},
        {"Last Train Home", 96, 53, 12, 59, 3},
    };
    DiscLayout layout;
    layout.title = "Kobaltune Demo Disc";
    layout.performer = "The Kobaltune Synth Ensemble";
    for (const Piece& p : pieces) {
        ImageTrack t;
        t.pcm = render(p);
        t.title = p.title;
        t.performer = layout.performer;
        layout.tracks.push_back(std::move(t));
    }
    return layout;
}

} // namespace kb::demodisc
