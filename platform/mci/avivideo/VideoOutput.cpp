#include "platform/mci/avivideo/VideoOutput.h"

#include <QApplication>

#include <algorithm>
#include <cmath>

namespace kb::mci::avi {

namespace {
constexpr size_t kAhead = 6; // pictures kept here ahead of their time, about a quarter second
} // namespace

VideoOutput::VideoOutput(QSize nativeSize)
    : native_(nativeSize), gui_(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

VideoOutput::~VideoOutput()
{
    delete child_.data(); // a surface placed in a window still alive; Qt owned the rest
}

VideoSurface* VideoOutput::surface() const
{
    return parent_ ? child_.data() : own_.get();
}

bool VideoOutput::setWindow(quintptr handle)
{
    if (!gui_)
        return handle == 0;
    if (handle == 0) {
        delete child_.data();
        parent_ = nullptr;
        return true;
    }
    QWidget* window = QWidget::find(static_cast<WId>(handle));
    if (!window)
        return false;
    // The device's own window, or the picture itself: the picture is already there.
    if (window == own_.get() || window == child_.data())
        return true;
    if (window != parent_) {
        delete child_.data();
        parent_ = window;
        child_ = new VideoSurface(window);
    }
    own_.reset();
    placeChild();
    child_->setVisible(shown_);
    return true;
}

void VideoOutput::setDestination(std::optional<QRect> rect)
{
    destination_ = rect;
    if (parent_ && child_)
        placeChild();
    else if (own_ && rect)
        own_->resize(rect->size());
}

void VideoOutput::placeChild()
{
    child_->setGeometry(destination_ ? *destination_ : parent_->rect());
}

void VideoOutput::setShown(bool shown)
{
    shown_ = shown;
    if (VideoSurface* s = surface())
        s->setVisible(shown);
}

QSize VideoOutput::areaSize() const
{
    if (!gui_)
        return {}; // nothing can show a picture: none is converted
    if (parent_ && child_)
        return child_->size();
    if (own_)
        return own_->size();
    return destination_ ? destination_->size() : native_;
}

void VideoOutput::present(QImage image)
{
    if (!gui_)
        return;
    if (parent_.isNull() && child_.isNull() && !own_ && shown_) {
        own_ = std::make_unique<VideoSurface>();
        own_->setWindowTitle(QStringLiteral("Video"));
        own_->resize(destination_ ? destination_->size() : native_);
        own_->show();
    }
    if (VideoSurface* s = surface())
        s->setFrame(std::move(image));
}

void VideoOutput::setClock(std::function<Clock()> clock)
{
    clock_ = std::move(clock);
    slot_->clear();
    ahead_.clear();
    timer_.stop();
}

void VideoOutput::wake()
{
    slot_->woken();
    tick();
}

void VideoOutput::show(const Picture& picture)
{
    // Converted here, at the size it is drawn, so that a picture nobody sees costs nothing.
    const QRect placed = letterbox(native_, picture.area);
    if (placed.isEmpty())
        return;
    QImage image = converter_.convert(picture.frame.get(), placed.size());
    if (!image.isNull())
        present(std::move(image));
}

void VideoOutput::tick()
{
    timer_.stop();
    if (!clock_) {
        slot_->clear();
        ahead_.clear();
        return;
    }
    const Clock now = clock_();
    std::erase_if(ahead_, [&](const Picture& p) { return p.generation != now.generation; });
    if (ahead_.size() < kAhead)
        if (auto picture = slot_->take(now.generation))
            ahead_.push_back(std::move(*picture));
    // Everything due is skipped but the latest: a late picture is never shown late.
    auto due = ahead_.end();
    for (auto it = ahead_.begin(); it != ahead_.end() && it->ms <= now.ms + 0.5; ++it)
        due = it;
    if (due != ahead_.end()) {
        const Picture shown = std::move(*due);
        ahead_.erase(ahead_.begin(), due + 1);
        show(shown);
    }
    // Stopped or paused, the clock stands still: wake() restarts the watch.
    if (!ahead_.empty() && now.running) {
        const double wait = std::clamp(ahead_.front().ms - now.ms, 4.0, 20.0);
        timer_.start(static_cast<int>(std::ceil(wait)));
    }
}

} // namespace kb::mci::avi
