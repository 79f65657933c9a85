#pragma once

#include <QImage>
#include <QWidget>

namespace kb::mci::avi {

// Paints the latest video picture, centred on black, over its whole area.
class VideoSurface : public QWidget {
public:
    explicit VideoSurface(QWidget* parent = nullptr);
    void setFrame(QImage image);
    const QImage& frame() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

} // namespace kb::mci::avi
