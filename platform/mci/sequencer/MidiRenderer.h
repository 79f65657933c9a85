#pragma once

#include "platform/mci/sequencer/MidiFile.h"

#include <cstdint>
#include <memory>
#include <string>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace kb::mci::seq {

// The General MIDI SoundFont installed on this machine, or an empty string.
std::string findSoundFont();

// Plays a parsed song through a FluidSynth synthesizer, sample-exactly: events are sent to
// the synth at their own output frame, and seeking resets the synth and replays every
// controller, program and SysEx message before the target (notes are not restarted).
// Not thread-safe; the owner serializes calls.
class MidiRenderer {
public:
    enum class LoadResult { Ok, NoSoundFont, SynthFailed };

    MidiRenderer();
    ~MidiRenderer();
    MidiRenderer(const MidiRenderer&) = delete;
    MidiRenderer& operator=(const MidiRenderer&) = delete;

    LoadResult load(const std::string& soundFontPath, int sampleRate);
    void setSong(MidiSong song);
    const MidiSong& song() const { return song_; }

    // The output frame the next render starts at; moving it silences every voice.
    void seekFrame(int64_t frame);
    int64_t frame() const { return frame_; }
    int64_t lengthFrames() const;

    // Renders `frames` interleaved stereo frames into out.
    void render(int16_t* out, int frames);

private:
    struct SettingsDeleter { void operator()(fluid_settings_t* s) const; };
    struct SynthDeleter { void operator()(fluid_synth_t* s) const; };

    int64_t frameOfEvent(size_t index) const;
    void send(const MidiEvent& e);

    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings_;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth_;
    MidiSong song_;
    int rate_ = 44100;
    int64_t frame_ = 0;
    size_t next_ = 0;
};

} // namespace kb::mci::seq
