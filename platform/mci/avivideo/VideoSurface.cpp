#include "platform/mci/avivideo/VideoSurface.h"

#include "platform/mci/avivideo/FrameConverter.h"

#include <QPainter>

namespace kb::mci::avi {

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void VideoSurface::setFrame(QImage image)
{
    image_ = std::move(image);
    update();
}

void VideoSurface::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (image_.isNull())
        return;
    const QRect target = letterbox(image_.size(), size());
    if (target.size() == image_.size()) {
        p.drawImage(target.topLeft(), image_);
    } else {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(target, image_);
    }
}

} // namespace kb::mci::avi
