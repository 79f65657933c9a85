#include "platform/audio/AudioEngine.h"
#include "platform/audio/DeferredSink.h"
#include "platform/audio/MixingEngine.h"

#include <cstdio>

namespace kb::audio {

std::unique_ptr<AudioEngine> AudioEngine::create(const SinkChoice& choice)
{
    constexpr size_t period = MixingEngine::kPeriodFrames;
    std::unique_ptr<AudioSink> sink;
    switch (choice.kind) {
    case SinkChoice::Kind::Sdl:
        // SDL and the sound libraries behind it are loaded when something is first played.
        // Its sink holds one period in its ring and asks the device for a buffer of one
        // period, which SDL may not change: two periods unheard.
        sink = std::make_unique<DeferredSink>([] { return openSdlSinkModule(period); }, "sdl",
                                              static_cast<int64_t>(2 * period), choice.speed);
        break;
    case SinkChoice::Kind::Capture:
        sink = makeCaptureSink(choice.capturePath, choice.speed, period);
        if (!sink)
            std::fprintf(stderr, "kobaltune: cannot write the capture file %s; playing silently\n",
                         choice.capturePath.c_str());
        break;
    case SinkChoice::Kind::Null:
        break;
    }
    if (!sink)
        sink = makeNullSink(choice.speed, period);
    return std::make_unique<MixingEngine>(std::move(sink));
}

} // namespace kb::audio
