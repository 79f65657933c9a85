#pragma once

#include "platform/mci/MciErrors.h"
#include "platform/mci/TimeFormat.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kb::audio {
class AudioEngine;
}
namespace kb::cdrom {
class DriveTable;
}

namespace kb::mci {

// What the command parser made of a command's keywords. Integers are as written in the
// command (colon notation already packed, field a in the lowest byte); a device reads them
// in its current time format.

struct OpenRequest {
    // File path, or drive name ("D:") for cdaudio; empty when the bare device was opened
    // ("open waveaudio", "open cdaudio" for the default drive).
    std::string element;
    bool shareable = false;
};

struct PlayRequest {
    std::optional<uint32_t> from;
    std::optional<uint32_t> to;
};

struct SeekRequest {
    enum class Kind { To, Start, End };
    Kind kind = Kind::To;
    uint32_t to = 0;
};

struct SetRequest {
    std::optional<TimeFormat> timeFormat;
    std::optional<bool> doorOpen; // "door open" = true, "door closed" = false
};

enum class StatusItem {
    Mode,
    Position,       // with track: the start of that track
    Length,         // with track: the length of that track
    CurrentTrack,
    NumberOfTracks,
    MediaPresent,
    Ready,
    TimeFormat,
    StartPosition,
};

struct StatusRequest {
    StatusItem item = StatusItem::Mode;
    std::optional<uint32_t> track;
};

enum class InfoItem { Product, File, Identity };

enum class CapabilityItem {
    CanEject,
    CanPlay,
    CanRecord,
    CanSave,
    CompoundDevice,
    DeviceType,
    HasAudio,
    HasVideo,
    UsesFiles,
};

struct WindowRequest {
    std::optional<uint64_t> handle; // "handle N": a native window id; 0 for "handle default"
    std::optional<bool> show;       // "state show" / "state hide"
};

struct PutRequest {
    bool destination = true;          // "destination" (the only form the player sends)
    std::optional<std::array<int32_t, 4>> rect; // "at L T W H"; absent: the default
};

// Why a play ended, reported through DeviceEvents::playEnded.
enum class PlayEnd { Completed, Stopped, Failed };

// How a device tells the service core that an accepted play has ended. Devices call it
// from any thread, exactly once per accepted play, and never while holding a lock their
// command methods take.
class DeviceEvents {
public:
    virtual ~DeviceEvents() = default;
    virtual void playEnded(uint64_t playId, PlayEnd how) = 0;
};

// One open MCI device. The core calls the command methods from the thread that sent the
// command; they return promptly (decoding and output run on the device's own threads) and
// answer 0 or an MCI error number. A status query answers at once from the device's clock.
class Device {
public:
    virtual ~Device() = default;

    virtual uint32_t open(const OpenRequest& request) = 0;
    virtual void close() = 0;

    // playId identifies this play in DeviceEvents::playEnded. A play that replaces a
    // running one ends the old one with PlayEnd::Stopped first.
    virtual uint32_t play(const PlayRequest& request, uint64_t playId) = 0;
    virtual uint32_t stop() = 0;
    virtual uint32_t pause() = 0;
    virtual uint32_t resume() = 0;
    virtual uint32_t seek(const SeekRequest& request) = 0;
    virtual uint32_t set(const SetRequest& request) = 0;
    virtual uint32_t status(const StatusRequest& request, std::string& reply) = 0;
    virtual uint32_t info(InfoItem item, std::string& reply) = 0;
    virtual uint32_t capability(CapabilityItem item, std::string& reply) = 0;
    virtual uint32_t window(const WindowRequest&) { return MCIERR_UNRECOGNIZED_COMMAND; }
    virtual uint32_t put(const PutRequest&) { return MCIERR_UNRECOGNIZED_COMMAND; }

    // Whether this device's "pause" aborts a pending play notification (cdaudio does).
    virtual bool pauseAbortsNotify() const { return false; }
};

// What a device may use of the platform.
struct DeviceContext {
    audio::AudioEngine* audio = nullptr;
    cdrom::DriveTable* drives = nullptr;
    DeviceEvents* events = nullptr;
};

// One device type of the service: its name ("waveaudio"), the file extensions that open
// it (lower case, with the dot), and how to make one.
struct DeviceType {
    std::string name;
    std::vector<std::string> extensions;
    std::function<std::unique_ptr<Device>(const DeviceContext&)> create;
};

} // namespace kb::mci
