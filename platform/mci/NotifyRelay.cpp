#include "platform/mci/NotifyRelay.h"

#include "platform/mci/MciService.h"

#include <QCoreApplication>
#include <QThread>

namespace kb::mci {

void NotifyRelay::post(const QPointer<QObject>& target, uint32_t code, uint32_t deviceId)
{
    if (!target)
        return;
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        wake = queued_.empty();
        queued_.push_back({target, code, deviceId});
    }
    // One wake-up serves everything queued until it runs.
    if (wake)
        QMetaObject::invokeMethod(this, "deliverQueued", Qt::QueuedConnection);
}

void NotifyRelay::deliverQueued()
{
    std::vector<Queued> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(queued_);
    }
    for (const Queued& n : batch) {
        QObject* target = n.target.data();
        if (!target)
            continue;
        // The wake-up already came through this thread's queue; delivering directly keeps
        // the notification to one trip through the event loop when the target lives here.
        if (target->thread() == QThread::currentThread()) {
            MciNotifyEvent notification(n.code, n.deviceId);
            QCoreApplication::sendEvent(target, &notification);
        } else {
            QCoreApplication::postEvent(target, new MciNotifyEvent(n.code, n.deviceId));
        }
    }
}

} // namespace kb::mci
