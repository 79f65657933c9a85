#include "desktop/Handover.h"

#include "desktop/FileArguments.h"
#include "desktop/MprisService.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>
#include <QUrl>

namespace kb::desktop {

bool handOverFiles(const QStringList& files, int waitMs)
{
    QString chosen;
    for (const QString& f : files) {
        if (!modeForFile(f).isEmpty()) {
            chosen = f;
            break;
        }
    }
    if (chosen.isEmpty())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDeadlineTimer deadline(waitMs);
    while (!bus.interface()->isServiceRegistered(MprisService::kServiceName).value()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(MprisService::kServiceName, MprisService::kObjectPath,
                                                       QStringLiteral("org.mpris.MediaPlayer2.Player"),
                                                       QStringLiteral("OpenUri"));
    call << QUrl::fromLocalFile(chosen).toString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace kb::desktop
