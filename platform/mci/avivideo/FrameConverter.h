#pragma once

#include "platform/mci/avivideo/FfmpegHandles.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace kb::mci::avi {

// Where a picture of the given shown size lands inside a destination of `area`: as large
// as fits with its aspect kept, centred (bars fill the rest).
QRect letterbox(QSize picture, QSize area);

// Turns decoded pictures into RGB32 images of a requested size, with bicubic scaling.
class FrameConverter {
public:
    // An image of exactly `size` (an empty image when the frame or size is unusable).
    QImage convert(const AVFrame* frame, QSize size);

private:
    SwsPtr sws_;
};

} // namespace kb::mci::avi
