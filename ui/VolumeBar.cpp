#include "ui/VolumeBar.h"

#include "ui/SkinArt.h"

#include <QLinearGradient>
#include <QPainter>

VolumeBar::VolumeBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent)
{
    setRange(0, 32767);
    setSingleStep(200);
    setPageStep(1000);
    setFocusPolicy(Qt::NoFocus);
    setCursor(kb::ui::clickCursor());
}

void VolumeBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    const double slotH = 4.0;
    const QRectF slot(3, (r.height() - slotH) / 2, r.width() - 6, slotH);
    p.setPen(QColor(10, 10, 12));
    p.setBrush(QColor(18, 18, 20));
    p.drawRoundedRect(slot, 2, 2);
    const double span = maximum() > minimum() ? double(value() - minimum()) / (maximum() - minimum()) : 0;
    const double knobW = 9;
    const double x = 1 + span * (r.width() - knobW - 2);
    QRectF fill(slot.left() + 1, slot.top() + 1, x + knobW / 2 - slot.left(), slotH - 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 170, 200, isEnabled() ? 200 : 60));
    p.drawRoundedRect(fill, 1, 1);
    QRectF knob(x, 0.5, knobW, r.height() - 1);
    QLinearGradient g(knob.topLeft(), knob.topRight());
    g.setColorAt(0, QColor(232, 234, 238));
    g.setColorAt(0.5, QColor(160, 164, 170));
    g.setColorAt(1, QColor(96, 98, 104));
    p.setPen(QColor(30, 30, 34));
    p.setBrush(g);
    p.drawRoundedRect(knob, 2, 2);
    p.setPen(QColor(40, 40, 44));
    p.drawLine(QPointF(knob.center().x(), knob.top() + 2), QPointF(knob.center().x(), knob.bottom() - 2));
}
