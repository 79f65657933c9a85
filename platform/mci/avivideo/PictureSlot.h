#pragma once

#include "platform/mci/avivideo/FfmpegHandles.h"

#include <QSize>

#include <cstdint>
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
// busy. It also remembers whether a wake-up is already on its way to the UI thread, so at
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

    // The held picture if it belongs to `generation` and is due at `ms`; a picture of
    // another generation is dropped. Otherwise the time it is due, if one is held.
    std::optional<Picture> takeDue(double ms, uint64_t generation, std::optional<double>& dueAt)
    {
        std::lock_guard lock(mutex_);
        dueAt.reset();
        if (held_ && held_->generation != generation)
            held_.reset();
        if (!held_)
            return std::nullopt;
        if (held_->ms > ms + 0.5) {
            dueAt = held_->ms;
            return std::nullopt;
        }
        return std::exchange(held_, std::nullopt);
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
    bool wakePending_ = false;
};

} // namespace kb::mci::avi
