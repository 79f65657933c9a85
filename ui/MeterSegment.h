#pragma once

#include "ui/LedLabel.h"

// One segment of the volume meter: the caption "＝" drawn as two LED bars in the fore
// colour; an unlit segment (black) vanishes into its black ground.
class MeterSegment : public LedLabel {
    Q_OBJECT
public:
    explicit MeterSegment(QWidget* parent);

protected:
    void paintText(QPainter& p) override;
};
