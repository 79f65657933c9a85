#pragma once

#include "platform/audio/OutputLevels.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kb::audio {

// Everything is mixed and output as interleaved signed 16-bit stereo at this rate; devices
// convert their sound to it before writing.
constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;

// Which output driver the engine uses. Chosen at the platform boundary (environment or a
// tool's option), never by the program.
struct SinkChoice {
    enum class Kind { Sdl, Null, Capture };
    Kind kind = Kind::Sdl;
    std::string capturePath; // Capture: the WAV file written
    double speed = 1.0;      // Null and Capture: pace as a multiple of real time

    // KOBALTUNE_AUDIO: "sdl" (default), "null", "capture:PATH"; an optional ",speed=N" suffix.
    static SinkChoice fromEnvironment();
    // The same syntax from a string (for tools' options); false when it does not parse.
    static bool parse(const std::string& text, SinkChoice& out);
};

// One source of sound in the mixer, owned by a device. The device's worker thread writes
// PCM into a bounded queue; the output thread takes it out, applies the line's level and
// counts what it handed to the sink. All members are safe to call from any thread, but
// write() from one thread at a time, and a flush() racing a write() may keep that write.
class AudioStream {
public:
    virtual ~AudioStream() = default;

    // Queue up to `frames` frames; returns how many were taken (0 when full). Never blocks.
    virtual size_t write(const int16_t* interleaved, size_t frames) = 0;
    // Wait until a good share of the queue is free, the stream is flushed, or the timeout
    // passes; true when any room is free.
    virtual bool waitWritable(std::chrono::milliseconds timeout) = 0;
    virtual size_t queuedFrames() const = 0;

    // While not playing, the mixer takes nothing from the stream (pause keeps the queue).
    virtual void setPlaying(bool playing) = 0;
    virtual bool playing() const = 0;

    // Drop everything queued and restart the heard-frames clock at 0 (stop, seek, play from).
    virtual void flush() = 0;
    // No more data will come: once the queue has been played out, drained() turns true.
    virtual void markEnd() = 0;
    virtual bool drained() const = 0;

    // Frames the listener has heard since the last flush: frames handed to the sink minus
    // the sink's latency, never negative, never more than was handed over. The one clock
    // every device's position comes from.
    virtual int64_t heardFrames() const = 0;
};

// The sound output: a mixer running on its own thread, feeding one sink.
class AudioEngine {
public:
    virtual ~AudioEngine() = default;

    // Opens the chosen sink; the SDL sink is opened when the first sound is output. When an
    // SDL device cannot be opened, the sound is discarded at real time instead (and stderr
    // says so once); the engine always works.
    static std::unique_ptr<AudioEngine> create(const SinkChoice& choice);

    virtual std::shared_ptr<AudioStream> openStream(Line line) = 0;
    virtual OutputLevels& levels() = 0;
    // "sdl", "null" or "capture": the sink actually in use.
    virtual std::string sinkName() const = 0;
    // The sink's latency in frames (what heardFrames() subtracts).
    virtual int64_t latencyFrames() const = 0;
};

} // namespace kb::audio
