#include "platform/audio/OutputLevels.h"

namespace kb::audio {

namespace {
constexpr uint32_t kFull = 0xFFFFFFFFu;
size_t indexOf(Line line) { return static_cast<size_t>(line); }
} // namespace

OutputLevels::OutputLevels()
{
    for (auto& level : levels_)
        level.store(kFull, std::memory_order_relaxed);
}

uint32_t OutputLevels::get(Line line) const { return levels_[indexOf(line)].load(std::memory_order_relaxed); }

void OutputLevels::set(Line line, uint32_t packed) { levels_[indexOf(line)].store(packed, std::memory_order_relaxed); }

float OutputLevels::gainLeft(Line line) const { return static_cast<float>(get(line) & 0xFFFFu) / 65535.0f; }

float OutputLevels::gainRight(Line line) const { return static_cast<float>(get(line) >> 16) / 65535.0f; }

int OutputLevels::auxTechnology(int device)
{
    switch (device) {
    case 0: return kAuxTechCdAudio;
    case 1: return kAuxTechAuxInput;
    default: return -1;
    }
}

bool OutputLevels::auxLine(int device, Line& line)
{
    switch (device) {
    case 0: line = Line::AuxCd; return true;
    case 1: line = Line::AuxIn; return true;
    default: return false;
    }
}

} // namespace kb::audio
