#pragma once

#include <QImage>
#include <QRect>

#include <string>

struct AVFrame;

namespace kbtest {

struct VideoSpec {
    std::string format = "mpeg"; // FFmpeg muxer: "mpeg" (.mpg), "avi", "mp2" (sound only)
    int seconds = 3;
    int fps = 25;
    int width = 160;
    int height = 120;
    bool video = true;
    bool audio = true;
};

// Writes an MPEG-1 video (with MP2 sound when asked) whose every picture shows its own
// frame number as eight black/white bars, most significant bit on the left.
bool writeTestVideo(const std::string& path, const VideoSpec& spec);

// Reads the frame number back from the bars of a picture drawn inside `area` of image
// (-1 when the bars are not clean black and white).
int readFrameNumber(const QImage& image, QRect area);
// The same from the luma plane of a decoded picture.
int readFrameNumber(const AVFrame& frame);

} // namespace kbtest
