#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace kb::audio {

// The outputs whose level the player reads and writes: two auxiliary devices (a CD audio
// output and an auxiliary input), wave output 0 and MIDI output 0.
enum class Line : int { AuxCd = 0, AuxIn = 1, WaveOut0 = 2, MidiOut0 = 3 };

// Auxiliary device technologies, as the capabilities of an aux device report them.
constexpr int kAuxTechCdAudio = 1;
constexpr int kAuxTechAuxInput = 2;

// Output levels: a 16-bit level per channel, packed left in the low 16 bits and right in
// the high 16 bits. Read and written from any thread; the mixer applies them as gain to
// the streams that play through each line. Every level starts at full volume.
class OutputLevels {
public:
    OutputLevels();

    uint32_t get(Line line) const;
    void set(Line line, uint32_t packed);

    // Linear gains 0..1 of each channel.
    float gainLeft(Line line) const;
    float gainRight(Line line) const;

    // Auxiliary devices: device 0 is the CD audio output, device 1 the auxiliary input.
    static int auxDeviceCount() { return 2; }
    // The technology of aux device n, or -1 when there is no such device.
    static int auxTechnology(int device);
    // The line behind aux device n (AuxCd for 0, AuxIn for 1); false for other numbers.
    static bool auxLine(int device, Line& line);

private:
    std::array<std::atomic<uint32_t>, 4> levels_;
};

} // namespace kb::audio
