#include "app/InstanceLock.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace kb::app {

QString InstanceLock::defaultPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/kobaltune.lock");
    return QDir::tempPath() + QStringLiteral("/kobaltune-") + QString::number(::getuid()) +
           QStringLiteral(".lock");
}

InstanceLock::InstanceLock(QString path)
    : path_(std::move(path)), lock_(std::make_unique<QLockFile>(path_))
{
    // Only a lock whose owner is gone is stale, however long the player has been running.
    lock_->setStaleLockTime(0);
}

bool InstanceLock::tryAcquire()
{
    if (!held_)
        held_ = lock_->tryLock(0);
    return held_;
}

} // namespace kb::app
