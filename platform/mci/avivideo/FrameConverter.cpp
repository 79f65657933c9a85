#include "platform/mci/avivideo/FrameConverter.h"

#include <algorithm>

namespace kb::mci::avi {

QRect letterbox(QSize picture, QSize area)
{
    if (picture.isEmpty() || area.isEmpty())
        return {};
    const QSize fitted = picture.scaled(area, Qt::KeepAspectRatio);
    const QSize size(std::max(1, fitted.width()), std::max(1, fitted.height()));
    return {QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size};
}

QImage FrameConverter::convert(const AVFrame* frame, QSize size)
{
    if (!frame || frame->width <= 0 || frame->height <= 0 || size.isEmpty())
        return {};
    const int flags = size == QSize(frame->width, frame->height) ? SWS_POINT : SWS_BICUBIC;
    sws_.reset(sws_getCachedContext(sws_.release(), frame->width, frame->height,
                                    static_cast<AVPixelFormat>(frame->format), size.width(), size.height(),
                                    AV_PIX_FMT_RGB32, flags | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    if (!sws_)
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    int stride[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    sws_scale(sws_.get(), frame->data, frame->linesize, 0, frame->height, dst, stride);
    return image;
}

} // namespace kb::mci::avi
