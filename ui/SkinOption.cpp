#include "ui/SkinOption.h"

#include "ui/SkinArt.h"

#include <QPainter>

SkinOption::SkinOption(const QString& caption, QWidget* parent) : QRadioButton(caption, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(kb::ui::clickCursor());
}

void SkinOption::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double d = std::min(height() - 4, 8);
    const QRectF led(2, (height() - d) / 2.0, d, d);
    p.setPen(QColor(20, 20, 22));
    p.setBrush(isChecked() ? QColor(255, 60, 40) : QColor(60, 20, 18));
    p.drawEllipse(led);
    if (isChecked()) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 200, 180, 160));
        p.drawEllipse(led.adjusted(d * 0.25, d * 0.2, -d * 0.45, -d * 0.5));
    }
    p.setFont(font());
    p.setPen(QColor(255, 255, 255));
    p.drawText(rect().adjusted(int(d) + 5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
}
