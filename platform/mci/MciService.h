#pragma once

#include <QEvent>
#include <QObject>

#include <cstdint>
#include <string>
#include <string_view>

namespace kb::mci {

// Notification codes carried by MciNotifyEvent::flags() (the MM_MCINOTIFY wParam).
enum NotifyCode : uint32_t {
    NotifySuccessful = 1,
    NotifySuperseded = 2,
    NotifyAborted = 4,
    NotifyFailure = 8,
};

// Posted to the callback object of a command sent with " notify" when that command
// finishes, is superseded or is aborted. It always arrives through the callback object's
// event queue, so it is handled on that object's (the UI) thread.
class MciNotifyEvent : public QEvent {
public:
    MciNotifyEvent(uint32_t flags, uint32_t deviceId)
        : QEvent(type()), flags_(flags), deviceId_(deviceId) {}

    static QEvent::Type type()
    {
        static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
        return t;
    }
    uint32_t flags() const { return flags_; }
    uint32_t deviceId() const { return deviceId_; }

private:
    uint32_t flags_;
    uint32_t deviceId_;
};

// The media control service: the MCI string language. Command text in (UTF-8), reply text
// out, failures as MCI error numbers (MCIERR_BASE + n). Every call returns promptly; play
// and other long operations continue on the service's own threads.
class MciService {
public:
    virtual ~MciService() = default;

    // mciSendString. Returns 0 on success or an MCI error number; reply is set to the
    // reply text on success and emptied on failure. callback may be null; when the command
    // carries " notify", the MciNotifyEvent is posted to it.
    virtual uint32_t sendString(std::string_view command, std::string& reply, QObject* callback) = 0;

    // mciGetErrorString. False when the code has no text (text is then emptied).
    virtual bool getErrorString(uint32_t code, std::string& text) const = 0;
};

} // namespace kb::mci
