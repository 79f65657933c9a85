#pragma once

#include "platform/mci/TimeFormat.h"

#include <cstdint>

namespace kb::mci::wave {

// Conversions between a file's samples and the waveaudio time formats (milliseconds,
// samples, bytes). Milliseconds round down both ways, so a length and an end position
// given in any format convert to the same number.
struct WaveTime {
    int rate = 1;
    int blockAlign = 1;

    static bool supports(TimeFormat f)
    {
        return f == TimeFormat::Milliseconds || f == TimeFormat::Samples || f == TimeFormat::Bytes;
    }

    int64_t toFormat(int64_t samples, TimeFormat f) const
    {
        switch (f) {
        case TimeFormat::Samples: return samples;
        case TimeFormat::Bytes: return samples * blockAlign;
        default: return samples * 1000 / rate;
        }
    }

    int64_t fromFormat(int64_t value, TimeFormat f) const
    {
        switch (f) {
        case TimeFormat::Samples: return value;
        case TimeFormat::Bytes: return value / blockAlign;
        default: return value * rate / 1000;
        }
    }
};

} // namespace kb::mci::wave
