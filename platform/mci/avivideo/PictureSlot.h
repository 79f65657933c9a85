#pragma once

#include "platform/mci/avivideo/FfmpegHandles.h"

#include <QSize>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace kb::mci::avi {

// A decoded picture on its way to the screen, still in the decoder's format.
struct Picture {
    FramePtr frame;
    QSize area;          // the area it is to be drawn in
    double ms = 0;       // when it is due on the playback clock
    uint64_t generation = 0;
};

// A mailbox between the decoding thread and the UI thread: one picture, replaced by the
// next, never queued, so that what is held stays bounded however long the UI thread is
// busy (the UI thread itself keeps a few it has taken, see VideoOutput). It also remembers whether a wake-up is already on its way to the UI thread, so at
// most one is ever waiting in the event queue.
class PictureSlot {
public:
    // Replaces what the slot holds. True when the UI thread must be woken (no wake-up is
    // pending); the caller then sends exactly one.
    bool put(Picture picture)
    {
        std::lock_guard lock(mutex_);
        held_ = std::move(picture);
        return !std::exchange(wakePending_, true);
    }

    // UI thread: the wake-up (or a timer) has arrived.
    void woken()
    {
        std::lock_guard lock(mutex_);
        wakePending_ = false;
    }

    // The held picture if it belongs to `generation` and, when `dueBy` is given, is due by
    // then; a picture of another generation is dropped.
    std::optional<Picture> take(uint64_t generation, std::optional<double> dueBy = std::nullopt)
    {
        std::optional<Picture> taken;
        std::function<void()> freed;
        {
            std::lock_guard lock(mutex_);
            if (held_ && held_->generation != generation)
                held_.reset();
            if (!held_ || (dueBy && held_->ms > *dueBy + 0.5))
                return std::nullopt;
            taken = std::exchange(held_, std::nullopt);
            freed = freed_;
        }
        if (freed)
            freed(); // the decoding thread may leave the next one now
        return taken;
    }

    // Called (on the UI thread) whenever a picture is taken out.
    void onFreed(std::function<void()> freed)
    {
        std::lock_guard lock(mutex_);
        freed_ = std::move(freed);
    }

    bool empty()
    {
        std::lock_guard lock(mutex_);
        return !held_;
    }

    void clear()
    {
        std::lock_guard lock(mutex_);
        held_.reset();
    }

private:
    std::mutex mutex_;
    std::optional<Picture> held_;
    std::function<void()> freed_;
    bool wakePending_ = false;
};

} // namespace kb::mci::avi
