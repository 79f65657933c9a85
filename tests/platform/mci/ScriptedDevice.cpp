#include "tests/platform/mci/ScriptedDevice.h"

using namespace kb::mci;

namespace kbtest {

void DeviceLog::add(std::string call)
{
    std::lock_guard lock(mutex);
    calls.push_back(std::move(call));
}

void DeviceLog::finishPlay(PlayEnd how)
{
    std::lock_guard lock(mutex);
    if (current)
        current->endPlay(how);
}

std::vector<std::string> DeviceLog::snapshot()
{
    std::lock_guard lock(mutex);
    return calls;
}

ScriptedDevice::~ScriptedDevice()
{
    std::lock_guard lock(log_->mutex);
    --log_->liveDevices;
    if (log_->current == this)
        log_->current = nullptr;
}

uint32_t ScriptedDevice::open(const OpenRequest& request)
{
    log_->add("open " + request.element + (request.shareable ? " shareable" : ""));
    if (request.element.find("missing") != std::string::npos)
        return MCIERR_FILE_NOT_FOUND;
    element_ = request.element;
    return 0;
}

void ScriptedDevice::close()
{
    log_->add("close");
    endPlay(PlayEnd::Stopped);
}

void ScriptedDevice::endPlay(PlayEnd how)
{
    uint64_t id = 0;
    {
        std::lock_guard lock(mutex_);
        std::swap(id, playId_);
        if (id && mode_ == "playing")
            mode_ = "stopped";
    }
    if (id)
        events_->playEnded(id, how);
}

uint32_t ScriptedDevice::play(const PlayRequest& request, uint64_t playId)
{
    auto text = [](const std::optional<uint32_t>& v) { return v ? std::to_string(*v) : std::string("-"); };
    log_->add("play " + text(request.from) + " " + text(request.to));
    const uint32_t from = request.from.value_or(position_);
    const uint32_t to = request.to.value_or(kLength);
    if (from > kLength || to > kLength || from > to)
        return MCIERR_OUTOFRANGE;
    endPlay(PlayEnd::Stopped);
    {
        std::lock_guard lock(mutex_);
        position_ = from;
        mode_ = "playing";
        playId_ = playId;
    }
    {
        std::lock_guard logLock(log_->mutex);
        log_->lastPlayId = playId;
    }
    if (from == to) {
        {
            std::lock_guard lock(mutex_);
            position_ = to;
        }
        endPlay(PlayEnd::Completed);
    }
    return 0;
}

uint32_t ScriptedDevice::stop()
{
    log_->add("stop");
    endPlay(PlayEnd::Stopped);
    std::lock_guard lock(mutex_);
    mode_ = "stopped";
    return 0;
}

uint32_t ScriptedDevice::pause()
{
    log_->add("pause");
    std::lock_guard lock(mutex_);
    if (mode_ == "playing")
        mode_ = "paused";
    return 0;
}

uint32_t ScriptedDevice::resume()
{
    log_->add("resume");
    std::lock_guard lock(mutex_);
    if (mode_ == "paused")
        mode_ = "playing";
    return 0;
}

uint32_t ScriptedDevice::seek(const SeekRequest& request)
{
    const uint32_t target = request.kind == SeekRequest::Kind::Start ? 0
                            : request.kind == SeekRequest::Kind::End ? kLength
                                                                      : request.to;
    log_->add("seek to " + std::to_string(target));
    if (target > kLength)
        return MCIERR_OUTOFRANGE;
    endPlay(PlayEnd::Stopped);
    std::lock_guard lock(mutex_);
    position_ = target;
    mode_ = "stopped";
    return 0;
}

uint32_t ScriptedDevice::set(const SetRequest& request)
{
    log_->add("set");
    if (request.timeFormat && *request.timeFormat != TimeFormat::Milliseconds
        && *request.timeFormat != TimeFormat::Bytes)
        return MCIERR_BAD_TIME_FORMAT;
    if (request.doorOpen)
        return MCIERR_UNSUPPORTED_FUNCTION;
    std::lock_guard lock(mutex_);
    if (request.timeFormat)
        format_ = *request.timeFormat;
    return 0;
}

uint32_t ScriptedDevice::status(const StatusRequest& request, std::string& reply)
{
    std::lock_guard lock(mutex_);
    if (request.track && (*request.track < 1 || *request.track > 3))
        return MCIERR_OUTOFRANGE;
    switch (request.item) {
    case StatusItem::Mode:
        reply = mode_;
        return 0;
    case StatusItem::Position:
        reply = std::to_string(request.track ? (*request.track - 1) * 1000 : position_);
        return 0;
    case StatusItem::Length:
        reply = std::to_string(kLength);
        return 0;
    case StatusItem::TimeFormat:
        reply = std::string(timeFormatName(format_));
        return 0;
    case StatusItem::NumberOfTracks:
    case StatusItem::CurrentTrack:
        reply = "1";
        return 0;
    case StatusItem::MediaPresent:
    case StatusItem::Ready:
        reply = "true";
        return 0;
    case StatusItem::StartPosition:
        reply = "0";
        return 0;
    }
    return MCIERR_UNRECOGNIZED_KEYWORD;
}

uint32_t ScriptedDevice::info(InfoItem item, std::string& reply)
{
    if (item == InfoItem::Identity)
        return MCIERR_UNSUPPORTED_FUNCTION;
    reply = item == InfoItem::File ? element_ : "Scripted Device";
    return 0;
}

uint32_t ScriptedDevice::capability(CapabilityItem item, std::string& reply)
{
    reply = item == CapabilityItem::DeviceType ? "other" : "true";
    return 0;
}

uint32_t ScriptedDevice::window(const WindowRequest& request)
{
    log_->add("window " + (request.handle ? std::to_string(*request.handle) : std::string("-")) + " "
              + (request.show ? (*request.show ? "show" : "hide") : "-"));
    return 0;
}

uint32_t ScriptedDevice::put(const PutRequest& request)
{
    std::string text = "put";
    if (request.rect)
        for (int32_t v : *request.rect)
            text += " " + std::to_string(v);
    log_->add(text);
    return 0;
}

DeviceType scriptedType(std::shared_ptr<DeviceLog> log, std::string name, bool pauseAborts)
{
    DeviceType type;
    type.name = std::move(name);
    type.extensions = {".scr", ".tst"};
    type.create = [log, pauseAborts](const DeviceContext& context) {
        return std::make_unique<ScriptedDevice>(log, context.events, pauseAborts);
    };
    return type;
}

} // namespace kbtest
