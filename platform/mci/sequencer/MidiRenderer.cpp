#include "platform/mci/sequencer/MidiRenderer.h"

#include <QFileInfo>
#include <QtGlobal>

#include <fluidsynth.h>

#include <algorithm>
#include <mutex>

namespace kb::mci::seq {

namespace {

// FluidSynth reports every odd event of a dense file as a warning; keep only real failures.
void fluidLog(int level, const char* message, void*)
{
    if (level <= FLUID_ERR)
        qWarning("fluidsynth: %s", message);
}

void routeFluidLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, fluidLog, nullptr);
    });
}

} // namespace

std::string findSoundFont()
{
    for (const char* path : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
                             "/usr/share/sounds/sf2/FluidR3_GM.sf2"}) {
        const QFileInfo info(QString::fromUtf8(path));
        if (info.exists() && info.isReadable())
            return path;
    }
    return {};
}

void MidiRenderer::SettingsDeleter::operator()(fluid_settings_t* s) const { delete_fluid_settings(s); }
void MidiRenderer::SynthDeleter::operator()(fluid_synth_t* s) const { delete_fluid_synth(s); }

MidiRenderer::MidiRenderer() = default;

MidiRenderer::~MidiRenderer()
{
    synth_.reset(); // the synth refers to its settings
    settings_.reset();
}

MidiRenderer::LoadResult MidiRenderer::load(const std::string& soundFontPath, int sampleRate)
{
    routeFluidLog();
    if (soundFontPath.empty() || !QFileInfo::exists(QString::fromStdString(soundFontPath)))
        return LoadResult::NoSoundFont;
    rate_ = sampleRate;
    settings_.reset(new_fluid_settings());
    if (!settings_)
        return LoadResult::SynthFailed;
    fluid_settings_setnum(settings_.get(), "synth.sample-rate", sampleRate);
    fluid_settings_setnum(settings_.get(), "synth.gain", 0.4);
    fluid_settings_setint(settings_.get(), "synth.threadsafe-api", 0);
    // The synth's stock voice settings, stated so that a system-wide configuration cannot
    // make playback dearer than in a plain FluidSynth player: 256 voices, one rendering
    // thread, reverb and chorus on, fourth-order interpolation.
    fluid_settings_setint(settings_.get(), "synth.polyphony", 256);
    fluid_settings_setint(settings_.get(), "synth.cpu-cores", 1);
    fluid_settings_setint(settings_.get(), "synth.reverb.active", 1);
    fluid_settings_setint(settings_.get(), "synth.chorus.active", 1);
    synth_.reset(new_fluid_synth(settings_.get()));
    if (!synth_)
        return LoadResult::SynthFailed;
    fluid_synth_set_interp_method(synth_.get(), -1, FLUID_INTERP_DEFAULT);
    if (fluid_synth_sfload(synth_.get(), soundFontPath.c_str(), 1) == FLUID_FAILED)
        return LoadResult::NoSoundFont;
    return LoadResult::Ok;
}

void MidiRenderer::setSong(MidiSong song)
{
    song_ = std::move(song);
    seekFrame(0);
}

int64_t MidiRenderer::lengthFrames() const
{
    return (song_.lengthUs * rate_ + 999999) / 1000000;
}

int64_t MidiRenderer::frameOfEvent(size_t index) const
{
    return (song_.events[index].timeUs * rate_ + 999999) / 1000000;
}

void MidiRenderer::send(const MidiEvent& e)
{
    fluid_synth_t* s = synth_.get();
    const auto& b = e.bytes;
    const int ch = b[0] & 0x0F;
    switch (b[0] & 0xF0) {
    case 0x80: fluid_synth_noteoff(s, ch, b[1]); break;
    case 0x90: fluid_synth_noteon(s, ch, b[1], b[2]); break;
    case 0xA0: fluid_synth_key_pressure(s, ch, b[1], b[2]); break;
    case 0xB0: fluid_synth_cc(s, ch, b[1], b[2]); break;
    case 0xC0: fluid_synth_program_change(s, ch, b[1]); break;
    case 0xD0: fluid_synth_channel_pressure(s, ch, b[1]); break;
    case 0xE0: fluid_synth_pitch_bend(s, ch, b[1] | (b[2] << 7)); break;
    case 0xF0:
        if (b.size() > 1)
            fluid_synth_sysex(s, reinterpret_cast<const char*>(b.data() + 1), static_cast<int>(b.size() - 1),
                              nullptr, nullptr, nullptr, 0);
        break;
    }
}

void MidiRenderer::seekFrame(int64_t frame)
{
    frame_ = std::max<int64_t>(0, frame);
    next_ = 0;
    if (!synth_)
        return;
    fluid_synth_system_reset(synth_.get());
    // Chase: the state every channel would have reached, without sounding old notes.
    while (next_ < song_.events.size() && frameOfEvent(next_) < frame_) {
        const MidiEvent& e = song_.events[next_++];
        const uint8_t kind = e.bytes[0] & 0xF0;
        if (kind != 0x80 && kind != 0x90 && kind != 0xA0)
            send(e);
    }
}

void MidiRenderer::render(int16_t* out, int frames)
{
    if (!synth_) {
        std::fill(out, out + frames * 2, int16_t{0});
        return;
    }
    int done = 0;
    while (done < frames) {
        while (next_ < song_.events.size() && frameOfEvent(next_) <= frame_)
            send(song_.events[next_++]);
        int chunk = frames - done;
        if (next_ < song_.events.size())
            chunk = static_cast<int>(std::min<int64_t>(chunk, frameOfEvent(next_) - frame_));
        chunk = std::max(chunk, 1);
        fluid_synth_write_s16(synth_.get(), chunk, out + done * 2, 0, 2, out + done * 2, 1, 2);
        done += chunk;
        frame_ += chunk;
    }
}

} // namespace kb::mci::seq
