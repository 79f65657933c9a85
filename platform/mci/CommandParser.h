#pragma once

#include "platform/mci/MciDevice.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kb::mci {

enum class Verb { Open, Close, Play, Stop, Pause, Resume, Seek, Set, Status, Info, Capability, Window, Put };

// A command string taken apart. Positions stay signed 64-bit here so that a negative
// position survives parsing and can be refused as out of range by the service.
struct ParsedCommand {
    Verb verb = Verb::Status;
    // The device name or alias; for open, the element (file, drive or device type name).
    std::string device;
    bool all = false;
    bool notify = false;
    bool wait = false;
    bool test = false;

    std::optional<std::string> type;  // open
    std::optional<std::string> alias; // open
    bool shareable = false;           // open

    std::optional<int64_t> from; // play
    std::optional<int64_t> to;   // play; seek "to N"
    SeekRequest::Kind seekKind = SeekRequest::Kind::To;

    SetRequest set;

    StatusItem statusItem = StatusItem::Mode;
    std::optional<int64_t> track; // status ... track N

    InfoItem infoItem = InfoItem::Product;
    CapabilityItem capabilityItem = CapabilityItem::CanPlay;

    std::optional<int64_t> handle; // window handle N (0 for "handle default")
    std::optional<bool> show;      // window state show|hide
    std::optional<std::array<int64_t, 4>> rect; // put destination at L T W H
};

// 0 and the parsed command, or the MCI error number of the first fault found.
uint32_t parseCommand(std::string_view text, ParsedCommand& out);

} // namespace kb::mci
