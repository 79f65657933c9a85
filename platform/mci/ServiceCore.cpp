#include "platform/mci/ServiceCore.h"

#include "platform/mci/CommandTokens.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/ServiceFactory.h"

#include <algorithm>
#include <limits>

namespace kb::mci {

namespace {

using Effect = NotifyState::Effect;

bool validPosition(const std::optional<int64_t>& v) { return !v || (*v >= 0 && *v <= std::numeric_limits<uint32_t>::max()); }

std::optional<uint32_t> toPosition(const std::optional<int64_t>& v)
{
    return v ? std::optional<uint32_t>(static_cast<uint32_t>(*v)) : std::nullopt;
}

bool fitsInt32(int64_t v) { return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max(); }

// The extension of the last path component, lower case with its dot; empty when none.
std::string extensionOf(std::string_view element)
{
    const size_t slash = element.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? element : element.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.size())
        return {};
    return asciiLower(name.substr(dot));
}

} // namespace

ServiceCore::ServiceCore(std::vector<DeviceType> types, audio::AudioEngine* audio, cdrom::DriveTable* drives)
    : types_(std::move(types)),
      audio_(audio),
      drives_(drives),
      relay_(std::make_unique<NotifyRelay>()),
      notify_(std::make_unique<NotifyState>(*relay_))
{
}

ServiceCore::~ServiceCore()
{
    std::lock_guard lock(commandMutex_);
    for (auto& d : devices_)
        closeDevice(d);
    devices_.clear();
}

bool ServiceCore::getErrorString(uint32_t code, std::string& text) const
{
    text = std::string(errorText(code));
    return !text.empty();
}

uint32_t ServiceCore::sendString(std::string_view command, std::string& reply, QObject* callback)
{
    reply.clear();
    ParsedCommand parsed;
    if (const uint32_t rc = parseCommand(command, parsed))
        return rc;
    std::unique_lock lock(commandMutex_);
    Context ctx{parsed, reply, QPointer<QObject>(callback)};
    const uint32_t rc = dispatch(ctx, lock);
    if (rc != MCIERR_NO_ERROR)
        reply.clear();
    return rc;
}

uint32_t ServiceCore::dispatch(Context& ctx, std::unique_lock<std::mutex>& lock)
{
    const ParsedCommand& c = ctx.command;
    if (c.verb == Verb::Open)
        return open(ctx);
    if (c.all)
        return onAll(ctx);
    if (c.verb == Verb::Close)
        return close(ctx);
    OpenDevice* target = find(c.device);
    if (!target)
        return MCIERR_INVALID_DEVICE_NAME;
    if (c.verb == Verb::Play)
        return play(ctx, *target, lock);
    return simple(ctx, *target);
}

uint32_t ServiceCore::open(Context& ctx)
{
    const ParsedCommand& c = ctx.command;
    const DeviceType* type = nullptr;
    std::string element = c.device;
    if (c.type) {
        type = findType(*c.type);
        if (!type)
            return MCIERR_INVALID_DEVICE_NAME;
        if (asciiLower(element) == asciiLower(type->name))
            element.clear();
    } else if ((type = findType(element))) {
        element.clear();
    } else if (const size_t bang = element.find('!'); bang != std::string::npos && findType(element.substr(0, bang))) {
        type = findType(element.substr(0, bang));
        element.erase(0, bang + 1);
    } else {
        const std::string extension = extensionOf(element);
        if (extension.empty())
            return MCIERR_INVALID_DEVICE_NAME;
        type = typeForExtension(extension);
        if (!type)
            return MCIERR_EXTENSION_NOT_FOUND;
    }

    const std::string aliasKey = asciiLower(c.alias ? *c.alias : c.device);
    if (aliasKey.empty())
        return MCIERR_MISSING_STRING_ARGUMENT;
    // "all" names every device already: a device of that alias could only be reached by
    // "close all".
    if (aliasKey == "all")
        return MCIERR_DUPLICATE_ALIAS;
    if (find(aliasKey))
        return c.alias ? MCIERR_DUPLICATE_ALIAS : MCIERR_DEVICE_OPEN;
    if (c.test)
        return MCIERR_NO_ERROR;

    std::unique_ptr<Device> device;
    try {
        device = type->create ? type->create(DeviceContext{audio_, drives_, notify_.get()}) : nullptr;
    } catch (...) {
        return MCIERR_CANNOT_LOAD_DRIVER;
    }
    if (!device)
        return MCIERR_CANNOT_LOAD_DRIVER;
    if (const uint32_t rc = device->open(OpenRequest{element, c.shareable}))
        return rc;

    const uint32_t id = freeId();
    devices_.push_back(OpenDevice{id, aliasKey, std::move(device)});
    ctx.reply = std::to_string(id);
    notify_->commandSucceeded(id, Effect::None, c.notify, ctx.callback);
    return MCIERR_NO_ERROR;
}

uint32_t ServiceCore::close(Context& ctx)
{
    auto it = std::find_if(devices_.begin(), devices_.end(),
                           [key = asciiLower(ctx.command.device)](const OpenDevice& d) { return d.aliasKey == key; });
    if (it == devices_.end())
        return MCIERR_INVALID_DEVICE_NAME;
    if (ctx.command.test)
        return MCIERR_NO_ERROR;
    const uint32_t id = it->id;
    closeDevice(*it);
    devices_.erase(it);
    notify_->commandSucceeded(id, Effect::AbortsPlay, ctx.command.notify, ctx.callback);
    return MCIERR_NO_ERROR;
}

void ServiceCore::closeDevice(OpenDevice& target)
{
    target.device->close();
    notify_->deviceClosed(target.id);
}

uint32_t ServiceCore::play(Context& ctx, OpenDevice& target, std::unique_lock<std::mutex>& lock)
{
    const ParsedCommand& c = ctx.command;
    if (!validPosition(c.from) || !validPosition(c.to))
        return MCIERR_OUTOFRANGE;
    if (c.test)
        return MCIERR_NO_ERROR;
    const uint64_t playId = notify_->beginPlay(target.id);
    if (const uint32_t rc = target.device->play(PlayRequest{toPosition(c.from), toPosition(c.to)}, playId)) {
        notify_->cancelPlay(playId);
        return rc;
    }
    notify_->commandSucceeded(target.id, Effect::AbortsPlay, c.notify, ctx.callback, playId, c.wait);
    if (c.wait) {
        // Other threads may stop or close the device while this one waits.
        lock.unlock();
        notify_->waitForPlay(playId);
    }
    return MCIERR_NO_ERROR;
}

uint32_t ServiceCore::onAll(Context& ctx)
{
    const ParsedCommand& c = ctx.command;
    if (c.test)
        return MCIERR_NO_ERROR;
    uint32_t firstError = MCIERR_NO_ERROR;
    int failures = 0;
    if (c.verb == Verb::Close) {
        for (auto& d : devices_)
            closeDevice(d);
        devices_.clear();
    } else {
        for (auto& d : devices_) {
            Context one{c, ctx.reply, nullptr};
            if (const uint32_t rc = simple(one, d)) {
                firstError = firstError ? firstError : rc;
                ++failures;
            }
        }
    }
    ctx.reply.clear();
    if (failures > 1)
        return MCIERR_MULTIPLE;
    if (firstError)
        return firstError;
    if (c.notify)
        notify_->post(ctx.callback, NotifySuccessful, kAllDevicesId);
    return MCIERR_NO_ERROR;
}

uint32_t ServiceCore::simple(Context& ctx, OpenDevice& target)
{
    const ParsedCommand& c = ctx.command;
    Device& device = *target.device;
    Effect effect = Effect::None;
    uint32_t rc = MCIERR_NO_ERROR;

    switch (c.verb) {
    case Verb::Stop:
        if (c.test)
            return rc;
        rc = device.stop();
        effect = Effect::AbortsPlay;
        break;
    case Verb::Pause:
        if (c.test)
            return rc;
        rc = device.pause();
        effect = device.pauseAbortsNotify() ? Effect::AbortsPlay : Effect::None;
        break;
    case Verb::Resume:
        if (c.test)
            return rc;
        rc = device.resume();
        break;
    case Verb::Seek:
        if (c.seekKind == SeekRequest::Kind::To && !validPosition(c.to))
            return MCIERR_OUTOFRANGE;
        if (c.test)
            return rc;
        rc = device.seek(SeekRequest{c.seekKind, c.to ? static_cast<uint32_t>(*c.to) : 0});
        effect = Effect::AbortsPlay;
        break;
    case Verb::Set:
        if (c.test)
            return rc;
        rc = device.set(c.set);
        break;
    case Verb::Status:
        if (!validPosition(c.track))
            return MCIERR_OUTOFRANGE;
        if (c.test)
            return rc;
        rc = device.status(StatusRequest{c.statusItem, toPosition(c.track)}, ctx.reply);
        break;
    case Verb::Info:
        if (c.test)
            return rc;
        rc = device.info(c.infoItem, ctx.reply);
        break;
    case Verb::Capability:
        if (c.test)
            return rc;
        rc = device.capability(c.capabilityItem, ctx.reply);
        break;
    case Verb::Window: {
        if (c.test)
            return rc;
        WindowRequest request;
        if (c.handle)
            request.handle = static_cast<uint64_t>(*c.handle) & 0xFFFFFFFFu;
        request.show = c.show;
        rc = device.window(request);
        break;
    }
    case Verb::Put: {
        PutRequest request;
        if (c.rect) {
            std::array<int32_t, 4> rect{};
            for (size_t i = 0; i < rect.size(); ++i) {
                if (!fitsInt32((*c.rect)[i]))
                    return MCIERR_OUTOFRANGE;
                rect[i] = static_cast<int32_t>((*c.rect)[i]);
            }
            request.rect = rect;
        }
        if (c.test)
            return rc;
        rc = device.put(request);
        break;
    }
    case Verb::Open:
    case Verb::Close:
    case Verb::Play:
        return MCIERR_INTERNAL;
    }
    if (rc != MCIERR_NO_ERROR)
        return rc;
    notify_->commandSucceeded(target.id, effect, c.notify, ctx.callback);
    return MCIERR_NO_ERROR;
}

const DeviceType* ServiceCore::findType(std::string_view name) const
{
    const std::string key = asciiLower(name);
    for (const auto& t : types_)
        if (asciiLower(t.name) == key)
            return &t;
    return nullptr;
}

const DeviceType* ServiceCore::typeForExtension(std::string_view extension) const
{
    for (const auto& t : types_)
        for (const auto& e : t.extensions)
            if (asciiLower(e) == extension)
                return &t;
    return nullptr;
}

ServiceCore::OpenDevice* ServiceCore::find(std::string_view alias)
{
    const std::string key = asciiLower(alias);
    for (auto& d : devices_)
        if (d.aliasKey == key)
            return &d;
    return nullptr;
}

uint32_t ServiceCore::freeId() const
{
    uint32_t id = 1;
    while (std::any_of(devices_.begin(), devices_.end(), [id](const OpenDevice& d) { return d.id == id; }))
        ++id;
    return id;
}

std::unique_ptr<MciService> makeMciService(std::vector<DeviceType> types, audio::AudioEngine* audio,
                                           cdrom::DriveTable* drives)
{
    return std::make_unique<ServiceCore>(std::move(types), audio, drives);
}

} // namespace kb::mci
