#pragma once

#include "platform/mci/CommandParser.h"
#include "platform/mci/MciDevice.h"
#include "platform/mci/MciService.h"
#include "platform/mci/NotifyRelay.h"
#include "platform/mci/NotifyState.h"

#include <QPointer>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kb::mci {

// The service: resolves device names and aliases, owns the open devices, and maps parsed
// commands onto them. Commands are serialised by one lock; the lock the devices' play-end
// reports take (in NotifyState) is a different one, so a device may report from inside a
// command.
class ServiceCore final : public MciService {
public:
    ServiceCore(std::vector<DeviceType> types, audio::AudioEngine* audio, cdrom::DriveTable* drives);
    ~ServiceCore() override;

    uint32_t sendString(std::string_view command, std::string& reply, QObject* callback) override;
    bool getErrorString(uint32_t code, std::string& text) const override;

private:
    struct OpenDevice {
        uint32_t id = 0;
        std::string aliasKey; // lower case
        std::unique_ptr<Device> device;
    };
    struct Context {
        const ParsedCommand& command;
        std::string& reply;
        QPointer<QObject> callback;
    };

    uint32_t dispatch(Context& ctx, std::unique_lock<std::mutex>& lock);
    uint32_t open(Context& ctx);
    uint32_t close(Context& ctx);
    uint32_t play(Context& ctx, OpenDevice& target, std::unique_lock<std::mutex>& lock);
    uint32_t onAll(Context& ctx);
    uint32_t simple(Context& ctx, OpenDevice& target);

    const DeviceType* findType(std::string_view name) const;
    const DeviceType* typeForExtension(std::string_view element) const;
    OpenDevice* find(std::string_view alias);
    uint32_t freeId() const;
    void closeDevice(OpenDevice& target);

    std::vector<DeviceType> types_;
    audio::AudioEngine* audio_;
    cdrom::DriveTable* drives_;
    std::unique_ptr<NotifyRelay> relay_;
    std::unique_ptr<NotifyState> notify_;
    std::mutex commandMutex_;
    std::vector<OpenDevice> devices_;
};

} // namespace kb::mci
