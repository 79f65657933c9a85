// The start-up picture: a dark anodised faceplate with the program's name.
#include "SkinDrawing.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

// At its design size: a dark anodised faceplate with a bevel, a row of status
// LEDs and the name in a pale cobalt blue.
QImage drawSplash(int width, int height)
{
    const QSize size(width, height);
    QImage pm(size, QImage::Format_RGB32);
    pm.fill(Qt::black);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size.width(), size.height());

    QLinearGradient face(r.topLeft(), r.bottomLeft());
    face.setColorAt(0.0, QColor(0x3a, 0x3f, 0x48));
    face.setColorAt(0.45, QColor(0x1c, 0x1f, 0x25));
    face.setColorAt(1.0, QColor(0x0d, 0x0e, 0x11));
    p.fillRect(r, face);

    for (int y = 2; y < size.height(); y += 3) {
        p.setPen(QColor(255, 255, 255, 8));
        p.drawLine(QPointF(0, y), QPointF(r.width(), y));
    }

    p.setPen(QPen(QColor(0x6a, 0x70, 0x7c), 1));
    p.drawLine(r.topLeft() + QPointF(0.5, 0.5), r.topRight() + QPointF(-0.5, 0.5));
    p.drawLine(r.topLeft() + QPointF(0.5, 0.5), r.bottomLeft() + QPointF(0.5, -0.5));
    p.setPen(QPen(QColor(0x05, 0x05, 0x07), 1));
    p.drawLine(r.bottomLeft() + QPointF(0.5, -0.5), r.bottomRight() + QPointF(-0.5, -0.5));
    p.drawLine(r.topRight() + QPointF(-0.5, 0.5), r.bottomRight() + QPointF(-0.5, -0.5));

    const double h = r.height();
    const QRectF window(r.width() * 0.05, h * 0.18, r.width() * 0.9, h * 0.5);
    QPainterPath glass;
    glass.addRoundedRect(window, 3, 3);
    p.fillPath(glass, QColor(0x06, 0x0a, 0x12));
    p.setPen(QPen(QColor(0x2a, 0x2e, 0x36), 1));
    p.drawPath(glass);

    QFont name(QStringLiteral("Liberation Sans"));
    name.setBold(true);
    name.setPixelSize(qMax(8, static_cast<int>(window.height() * 0.62)));
    name.setLetterSpacing(QFont::PercentageSpacing, 112);
    p.setFont(name);
    p.setPen(QColor(0x22, 0x55, 0xaa, 110));
    p.drawText(window.translated(0, 1), Qt::AlignCenter, QStringLiteral("Kobaltune"));
    p.setPen(QColor(0x8c, 0xc4, 0xff));
    p.drawText(window, Qt::AlignCenter, QStringLiteral("Kobaltune"));

    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(qMax(6, static_cast<int>(h * 0.1)));
    small.setLetterSpacing(QFont::PercentageSpacing, 140);
    p.setFont(small);
    p.setPen(QColor(0x9a, 0xa0, 0xaa));
    const QRectF caption(window.left(), h * 0.74, window.width(), h * 0.18);
    p.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MULTIMEDIA PLAYER"));

    const QColor leds[] = {QColor(0x30, 0xe0, 0x60), QColor(0xff, 0xb0, 0x20),
                           QColor(0xff, 0x40, 0x30)};
    const double d = h * 0.07;
    double x = window.right() - 3 * d * 2.2;
    for (const QColor& c : leds) {
        const QPointF centre(x + d, caption.center().y());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(c.red(), c.green(), c.blue(), 60));
        p.drawEllipse(centre, d * 1.1, d * 1.1);
        p.setBrush(c);
        p.drawEllipse(centre, d * 0.6, d * 0.6);
        x += d * 2.2;
    }
    return pm;
}

