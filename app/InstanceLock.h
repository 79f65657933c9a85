#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace kb::app {

// Marks the one running copy of the player (App.PrevInstance). The lock is a file that
// QLockFile ties to the owning process, so a copy that was killed leaves no lasting lock.
class InstanceLock {
public:
    // The lock file of this user: $XDG_RUNTIME_DIR/kobaltune.lock, or, without a runtime
    // folder, <temp>/kobaltune-<uid>.lock.
    static QString defaultPath();

    explicit InstanceLock(QString path = defaultPath());

    // True when this process now holds the lock; false while another copy runs.
    bool tryAcquire();
    bool held() const { return held_; }
    QString path() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    bool held_ = false;
};

} // namespace kb::app
