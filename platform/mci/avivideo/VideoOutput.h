#pragma once

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
// or, without one, a top-level window of its own. Lives on the UI thread; frames reach it
// as queued calls from the decoding thread, a little ahead of time, and are shown here when
// the playback clock reaches them: a decoding thread held up for a moment then costs no
// frozen picture, since the pictures it already made are still shown on time.
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

    // Pictures due at `ms` of a generation; shown once the clock reaches them, the latest
    // due one winning. Dropped when no clock is set.
    void schedule(QImage image, double ms, uint64_t generation);
    void setClock(std::function<Clock()> clock);
    // The clock may have started moving again: look at the queued pictures now.
    void wake();

private:
    struct Timed {
        QImage image;
        double ms = 0;
        uint64_t generation = 0;
    };
    void tick();

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
    std::deque<Timed> queue_;
    QTimer timer_;
};

} // namespace kb::mci::avi
