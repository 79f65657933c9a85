#include "platform/audio/AudioEngine.h"
#include "platform/audio/MixingEngine.h"

#include <cstdio>

namespace kb::audio {

std::unique_ptr<AudioEngine> AudioEngine::create(const SinkChoice& choice)
{
    constexpr size_t period = MixingEngine::kPeriodFrames;
    std::unique_ptr<AudioSink> sink;
    switch (choice.kind) {
    case SinkChoice::Kind::Sdl:
        sink = makeSdlSink(period);
        if (!sink)
            std::fprintf(stderr, "kobaltune: no sound device could be opened; playing silently\n");
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
