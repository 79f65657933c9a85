#include "SkinDrawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// Brushed steel as on the buttons, with the LED cyan as the accent.
const QColor kOutline(28, 30, 34);
const QColor kSteelLight(226, 229, 234);
const QColor kSteelDark(136, 140, 147);
const QColor kCyan(0, 190, 220);

QLinearGradient steel(double y0, double y1)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, kSteelLight);
    g.setColorAt(1, kSteelDark);
    return g;
}

QImage blank()
{
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

} // namespace

QImage drawListImage(ListImage which)
{
    QImage img = blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kOutline, 1));
    switch (which) {
    case ListImage::Closed: {
        QPainterPath tab;
        tab.moveTo(1.5, 4.5);
        tab.lineTo(1.5, 2.5);
        tab.lineTo(6.5, 2.5);
        tab.lineTo(8.0, 4.5);
        p.setBrush(kSteelDark);
        p.drawPath(tab);
        p.setBrush(steel(4, 14));
        p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9.5), 1, 1);
        p.setPen(QPen(kCyan, 1.5));
        p.drawLine(QPointF(3.5, 7), QPointF(12.5, 7));
        break;
    }
    case ListImage::Leaf: {
        QPainterPath sheet;
        sheet.moveTo(3.5, 1.5);
        sheet.lineTo(10, 1.5);
        sheet.lineTo(13.5, 5);
        sheet.lineTo(13.5, 14.5);
        sheet.lineTo(3.5, 14.5);
        sheet.closeSubpath();
        p.setBrush(steel(1, 15));
        p.drawPath(sheet);
        p.drawLine(QPointF(10, 1.5), QPointF(10, 5));
        p.drawLine(QPointF(10, 5), QPointF(13.5, 5));
        p.setPen(QPen(kCyan, 1));
        for (double y : {7.5, 9.5, 11.5})
            p.drawLine(QPointF(5.5, y), QPointF(11.5, y));
        break;
    }
    case ListImage::Archive: {
        p.setBrush(steel(2, 15));
        p.drawRoundedRect(QRectF(2.5, 2.5, 11, 12), 1, 1);
        p.setPen(QPen(kOutline, 1));
        p.drawLine(QPointF(2.5, 6.5), QPointF(13.5, 6.5));
        // The zip: alternate teeth down the middle.
        p.setPen(Qt::NoPen);
        p.setBrush(kCyan);
        for (int y = 3; y < 14; y += 2)
            p.drawRect(QRectF(y % 4 == 1 ? 7 : 8, y, 1.5, 1));
        break;
    }
    }
    return img;
}
