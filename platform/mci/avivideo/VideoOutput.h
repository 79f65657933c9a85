#pragma once

#include "platform/mci/avivideo/FrameConverter.h"
#include "platform/mci/avivideo/PictureSlot.h"
#include "platform/mci/avivideo/VideoSurface.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace kb::mci::avi {

// The UI-thread side of the video device: which window the picture goes to and where.
// Either a surface inside a window of the program ("window handle N", "put destination"),
// or, without one, a top-level window of its own. Lives on the UI thread; the decoding
// thread leaves pictures in a one-picture slot, ahead of time when the slot is free. One
// picture at a time is taken from it to wait here, and is converted and shown when the
// playback clock reaches it. A UI thread that is busy for a while finds only the latest
// picture waiting.
class VideoOutput : public QObject {
public:
    // The playback clock as the UI thread reads it. Pictures of another generation are
    // stale (the playback restarted since they were made).
    struct Clock {
        double ms = 0;
        uint64_t generation = 0;
        bool running = false;
    };

    explicit VideoOutput(QSize nativeSize);
    ~VideoOutput() override;

    // 0 returns to the device's own window. False when no window has that id.
    bool setWindow(quintptr handle);
    void setDestination(std::optional<QRect> rect);
    void setShown(bool shown);

    // The size the picture is drawn in: the destination's or the own window's.
    QSize areaSize() const;

    void present(QImage image);

    // Where the decoding thread leaves pictures; shared so that either side may go first.
    std::shared_ptr<PictureSlot> slot() const { return slot_; }
    // Without a clock, pictures in the slot are dropped.
    void setClock(std::function<Clock()> clock);
    // A picture arrived or the clock may have started moving again: look at the slot now.
    void wake();

private:
    void tick();
    void show(const Picture& picture);

    VideoSurface* surface() const;
    void placeChild();

    QSize native_;
    QPointer<QWidget> parent_;
    QPointer<VideoSurface> child_;
    std::unique_ptr<VideoSurface> own_;
    std::optional<QRect> destination_;
    bool shown_ = true;
    bool gui_ = false;
    std::function<Clock()> clock_;
    std::shared_ptr<PictureSlot> slot_ = std::make_shared<PictureSlot>();
    // Taken from the slot ahead of time, waiting for their time: a decoding thread held up
    // for a moment costs no frozen picture. Bounded, and filled only while this thread runs.
    std::deque<Picture> ahead_;
    FrameConverter converter_;
    QTimer timer_;
};

} // namespace kb::mci::avi
