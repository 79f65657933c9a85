#include "ui/MeterSegment.h"

#include "ui/Twips.h"

#include <QPainter>

MeterSegment::MeterSegment(QWidget* parent) : LedLabel(parent, QStringLiteral("＝")) {}

void MeterSegment::paintText(QPainter& p)
{
    // An unlit segment is drawn in black, invisible on its black ground.
    const bool lit = fore_ != 0;
    const QColor c = kb::ui::bgr(fore_);
    const int w = width(), h = height();
    const int barH = std::max(2, h / 5);
    const QRectF top(1.5, h * 0.28, w - 3.0, barH);
    const QRectF bottom(1.5, h * 0.62, w - 3.0, barH);
    p.setRenderHint(QPainter::Antialiasing);
    if (lit) {
        QColor glow = c;
        glow.setAlpha(70);
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(top.adjusted(-1, -1, 1, 1), 1.5, 1.5);
        p.drawRoundedRect(bottom.adjusted(-1, -1, 1, 1), 1.5, 1.5);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(top, 1, 1);
    p.drawRoundedRect(bottom, 1, 1);
}
