#include "SkinDrawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QPainterPath triangle(double x, double cy, double w, double h, bool right)
{
    QPainterPath path;
    if (right) {
        path.moveTo(x, cy - h / 2);
        path.lineTo(x + w, cy);
        path.lineTo(x, cy + h / 2);
    } else {
        path.moveTo(x + w, cy - h / 2);
        path.lineTo(x, cy);
        path.lineTo(x + w, cy + h / 2);
    }
    path.closeSubpath();
    return path;
}

QPainterPath glyphPath(Glyph g, const QRectF& r)
{
    const double cx = r.center().x(), cy = r.center().y();
    const double s = std::min(r.width(), r.height()) * 0.42;
    QPainterPath path;
    switch (g) {
    case Glyph::Play: path = triangle(cx - s * 0.45, cy, s * 0.95, s * 1.1, true); break;
    case Glyph::Pause:
        path.addRect(cx - s * 0.45, cy - s * 0.5, s * 0.3, s);
        path.addRect(cx + s * 0.15, cy - s * 0.5, s * 0.3, s);
        break;
    case Glyph::Stop: path.addRect(cx - s * 0.42, cy - s * 0.42, s * 0.84, s * 0.84); break;
    case Glyph::Rewind:
        path.addPath(triangle(cx - s * 0.7, cy, s * 0.7, s * 0.9, false));
        path.addPath(triangle(cx, cy, s * 0.7, s * 0.9, false));
        break;
    case Glyph::Forward:
        path.addPath(triangle(cx - s * 0.7, cy, s * 0.7, s * 0.9, true));
        path.addPath(triangle(cx, cy, s * 0.7, s * 0.9, true));
        break;
    case Glyph::First:
        path.addRect(cx - s * 0.85, cy - s * 0.45, s * 0.18, s * 0.9);
        path.addPath(triangle(cx - s * 0.62, cy, s * 0.65, s * 0.9, false));
        path.addPath(triangle(cx + 0.03 * s, cy, s * 0.65, s * 0.9, false));
        break;
    case Glyph::Previous:
        path.addRect(cx - s * 0.55, cy - s * 0.45, s * 0.18, s * 0.9);
        path.addPath(triangle(cx - s * 0.32, cy, s * 0.8, s * 0.9, false));
        break;
    case Glyph::Next:
        path.addPath(triangle(cx - s * 0.48, cy, s * 0.8, s * 0.9, true));
        path.addRect(cx + s * 0.37, cy - s * 0.45, s * 0.18, s * 0.9);
        break;
    case Glyph::Last:
        path.addPath(triangle(cx - s * 0.68, cy, s * 0.65, s * 0.9, true));
        path.addPath(triangle(cx - s * 0.03, cy, s * 0.65, s * 0.9, true));
        path.addRect(cx + s * 0.67, cy - s * 0.45, s * 0.18, s * 0.9);
        break;
    case Glyph::Eject: {
        QPainterPath t;
        t.moveTo(cx - s * 0.55, cy + s * 0.1);
        t.lineTo(cx, cy - s * 0.5);
        t.lineTo(cx + s * 0.55, cy + s * 0.1);
        t.closeSubpath();
        path.addPath(t);
        path.addRect(cx - s * 0.55, cy + s * 0.28, s * 1.1, s * 0.2);
        break;
    }
    case Glyph::Minimise: path.addRect(cx - s * 0.5, cy + s * 0.25, s, s * 0.22); break;
    case Glyph::Open: {
        path.moveTo(cx - s * 0.9, cy + s * 0.5);
        path.lineTo(cx - s * 0.9, cy - s * 0.45);
        path.lineTo(cx - s * 0.35, cy - s * 0.45);
        path.lineTo(cx - s * 0.2, cy - s * 0.25);
        path.lineTo(cx + s * 0.9, cy - s * 0.25);
        path.lineTo(cx + s * 0.9, cy + s * 0.5);
        path.closeSubpath();
        break;
    }
    case Glyph::Up: {
        QPainterPath t;
        t.moveTo(cx - s * 0.6, cy + s * 0.35);
        t.lineTo(cx, cy - s * 0.35);
        t.lineTo(cx + s * 0.6, cy + s * 0.35);
        t.closeSubpath();
        path = t;
        break;
    }
    case Glyph::Down: {
        QPainterPath t;
        t.moveTo(cx - s * 0.6, cy - s * 0.35);
        t.lineTo(cx, cy + s * 0.35);
        t.lineTo(cx + s * 0.6, cy - s * 0.35);
        t.closeSubpath();
        path = t;
        break;
    }
    case Glyph::Font: {
        // A serif "A" with a pen stroke under it.
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPixelSize(int(s * 1.9));
        f.setBold(true);
        path.addText(cx - s * 0.62, cy + s * 0.55, f, QStringLiteral("A"));
        path.addRect(cx - s * 0.95, cy + s * 0.72, s * 1.9, s * 0.16);
        break;
    }
    case Glyph::Power: break;
    }
    return path;
}

void drawPower(QPainter& p, const QRectF& r, const QColor& ink)
{
    const double s = std::min(r.width(), r.height()) * 0.3;
    const QPointF c = r.center();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(c.x() - s, c.y() - s + 0.5, 2 * s, 2 * s), 120 * 16, -240 * 16 - 60 * 16);
    p.drawLine(QPointF(c.x(), c.y() - s - 0.5), QPointF(c.x(), c.y() + 0.5));
}

} // namespace

QString lookName(ButtonLook look)
{
    switch (look) {
    case ButtonLook::Normal: return QStringLiteral("normal");
    case ButtonLook::Pressed: return QStringLiteral("pressed");
    case ButtonLook::Disabled: return QStringLiteral("disabled");
    }
    return {};
}

QImage drawButton(int w, int h, Glyph glyph, ButtonLook look)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(0.5, 0.5, w - 1.0, h - 1.0);
    const QRectF face = outer.adjusted(1, 1, -1, -1);
    const bool pressed = look == ButtonLook::Pressed;
    const bool disabled = look == ButtonLook::Disabled;

    p.setPen(QPen(QColor(10, 10, 12), 1));
    p.setBrush(QColor(18, 18, 20));
    p.drawRoundedRect(outer, 3, 3);

    QLinearGradient g(face.topLeft(), face.bottomLeft());
    if (pressed) {
        g.setColorAt(0, QColor(104, 108, 114));
        g.setColorAt(1, QColor(150, 154, 160));
    } else if (disabled) {
        g.setColorAt(0, QColor(120, 123, 128));
        g.setColorAt(1, QColor(98, 101, 106));
    } else {
        g.setColorAt(0, QColor(226, 229, 234));
        g.setColorAt(0.45, QColor(186, 190, 196));
        g.setColorAt(1, QColor(136, 140, 147));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(face, 2.5, 2.5);
    if (!pressed) {
        p.setPen(QPen(QColor(255, 255, 255, disabled ? 50 : 140), 1));
        p.drawLine(QPointF(face.left() + 2, face.top() + 0.5), QPointF(face.right() - 2, face.top() + 0.5));
    }

    QColor ink = disabled ? QColor(84, 87, 92) : QColor(28, 30, 34);
    if (glyph == Glyph::Power && !disabled)
        ink = pressed ? QColor(255, 90, 60) : QColor(200, 30, 24);
    if (pressed && glyph != Glyph::Power)
        ink = QColor(0, 120, 170);
    const QRectF area = face.translated(pressed ? 0.5 : 0, pressed ? 0.8 : 0);
    if (glyph == Glyph::Power) {
        drawPower(p, area, ink);
    } else {
        if (!disabled) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 90));
            p.drawPath(glyphPath(glyph, area.translated(0, 0.8)));
        }
        p.setBrush(ink);
        p.drawPath(glyphPath(glyph, area));
    }
    return img;
}

void paintIcon(QPainter& p, double s)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, s);
    bg.setColorAt(0, QColor(38, 96, 196));
    bg.setColorAt(1, QColor(12, 36, 100));
    p.setPen(QPen(QColor(8, 20, 60), s / 32));
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.18, s * 0.18);
    QRadialGradient disc(QPointF(s * 0.42, s * 0.4), s * 0.4);
    disc.setColorAt(0, QColor(245, 246, 250));
    disc.setColorAt(0.6, QColor(176, 190, 214));
    disc.setColorAt(1, QColor(120, 132, 160));
    p.setPen(QPen(QColor(30, 40, 70), s / 40));
    p.setBrush(disc);
    p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.34, s * 0.34);
    p.setBrush(QColor(38, 96, 196));
    p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.08, s * 0.08);
    p.setPen(QPen(QColor(255, 255, 255, 120), s / 48));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(s * 0.26, s * 0.26, s * 0.48, s * 0.48), 100 * 16, 70 * 16);
}

QImage drawIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paintIcon(p, size);
    return img;
}

QImage drawPointer()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(1, 1);
    arrow.lineTo(1, 18);
    arrow.lineTo(5.5, 14);
    arrow.lineTo(8.5, 21);
    arrow.lineTo(11.5, 19.6);
    arrow.lineTo(8.6, 12.8);
    arrow.lineTo(14.5, 12.8);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0, 0, 0), 1.2));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(arrow);
    QRadialGradient dot(QPointF(16, 18), 5);
    dot.setColorAt(0, QColor(110, 170, 255));
    dot.setColorAt(1, QColor(20, 70, 180));
    p.setPen(QPen(QColor(10, 20, 60), 1));
    p.setBrush(dot);
    p.drawEllipse(QPointF(17, 19), 4, 4);
    return img;
}
