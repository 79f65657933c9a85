#pragma once

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <mutex>
#include <vector>

namespace kb::mci {

// Carries notifications from any thread to the callback objects. It lives on the thread
// that created the service; a callback object destroyed before delivery is simply skipped.
class NotifyRelay : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Thread-safe.
    void post(const QPointer<QObject>& target, uint32_t code, uint32_t deviceId);

private:
    Q_INVOKABLE void deliverQueued();

    struct Queued {
        QPointer<QObject> target;
        uint32_t code;
        uint32_t deviceId;
    };
    // The notifications cross threads here, under our own lock, rather than inside a posted
    // event: Qt's queue synchronises with futexes that ThreadSanitizer cannot see, and every
    // event a receiver gets is then made on the receiving thread.
    std::mutex mutex_;
    std::vector<Queued> queued_;
};

} // namespace kb::mci
