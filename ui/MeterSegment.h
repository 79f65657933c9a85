#pragma once

#include "ui/LedLabel.h"

// One segment of the volume meter: the caption "＝" drawn as two LED bars in the fore
// colour; black (unlit) shows as a faint dark bar, as on a real meter.
class MeterSegment : public LedLabel {
    Q_OBJECT
public:
    explicit MeterSegment(QWidget* parent);

protected:
    void paintText(QPainter& p) override;
};
