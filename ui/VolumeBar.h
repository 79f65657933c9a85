#pragma once

#include <QScrollBar>

// The volume slider: a horizontal scroll bar 0..32767 drawn as a machined fader slot
// with a knob. valueChanged fires on every change, program changes included.
class VolumeBar : public QScrollBar {
    Q_OBJECT
public:
    explicit VolumeBar(QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
};
