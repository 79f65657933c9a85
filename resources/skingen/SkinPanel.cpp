#include "SkinDrawing.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <random>

namespace {

constexpr int kW = 527;
constexpr int kH = 453;

// Horizontal brushing: each row gets its own slight brightness, each pixel a little grain.
void brushedMetal(QImage& img, const QRect& area, int base, std::mt19937& rng)
{
    std::normal_distribution<double> rowNoise(0.0, 3.2);
    std::normal_distribution<double> grain(0.0, 2.0);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const double row = rowNoise(rng);
        const double shade = base + row - 6.0 * double(y - area.top()) / area.height();
        for (int x = area.left(); x <= area.right(); ++x) {
            const double v = std::clamp(shade + grain(rng), 0.0, 255.0);
            img.setPixel(x, y, qRgb(int(v), int(v + 1.5), int(v + 4)));
        }
    }
}

void bevel(QPainter& p, const QRectF& r, const QColor& light, const QColor& dark, double radius = 3)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(dark, 1));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(light, 1));
    p.drawLine(QPointF(r.left() + radius, r.bottom() + 0.5), QPointF(r.right() - radius, r.bottom() + 0.5));
    p.drawLine(QPointF(r.right() + 0.5, r.top() + radius), QPointF(r.right() + 0.5, r.bottom() - radius));
}

// A recessed well: dark chamfer outside, black (or given) inside.
void well(QPainter& p, const QRectF& r, const QColor& inside, double radius = 4)
{
    QLinearGradient chamfer(r.topLeft(), r.bottomLeft());
    chamfer.setColorAt(0, QColor(8, 9, 11));
    chamfer.setColorAt(1, QColor(58, 61, 66));
    p.setPen(Qt::NoPen);
    p.setBrush(chamfer);
    p.drawRoundedRect(r.adjusted(-3, -3, 3, 3), radius + 2, radius + 2);
    p.setBrush(inside);
    p.drawRoundedRect(r, radius, radius);
    bevel(p, r.adjusted(-4, -4, 4, 4), QColor(150, 154, 160, 150), QColor(10, 10, 12, 120), radius + 3);
}

void engrave(QPainter& p, const QPointF& at, const QString& text, const QFont& font,
             const QColor& ink = QColor(196, 200, 206))
{
    p.setFont(font);
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(at + QPointF(0, -1), text);
    p.setPen(QColor(255, 255, 255, 40));
    p.drawText(at + QPointF(0, 1), text);
    p.setPen(ink);
    p.drawText(at, text);
}

void screw(QPainter& p, const QPointF& c)
{
    QRadialGradient g(c + QPointF(-1, -1), 3.5);
    g.setColorAt(0, QColor(210, 212, 216));
    g.setColorAt(1, QColor(70, 72, 76));
    p.setPen(QColor(20, 20, 22));
    p.setBrush(g);
    p.drawEllipse(c, 3, 3);
    p.setPen(QPen(QColor(40, 40, 44), 1));
    p.drawLine(c + QPointF(-2, 1.2), c + QPointF(2, -1.2));
}

QFont face(const char* family, double px, bool bold = false, double spacing = 0)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(int(px));
    f.setBold(bold);
    if (spacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return f;
}

} // namespace

QImage drawPanel()
{
    QImage img(kW, kH, QImage::Format_RGB32);
    std::mt19937 rng(1975);
    brushedMetal(img, img.rect(), 62, rng);
    // The main unit is a touch lighter than the extension areas.
    brushedMetal(img, QRect(0, 0, 267, 192), 74, rng);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Module seams: main unit, list extension, video extension.
    bevel(p, QRectF(0, 0, 267, 192), QColor(170, 174, 180, 170), QColor(12, 12, 14, 220), 2);
    bevel(p, QRectF(267, 0, 260, 192), QColor(150, 154, 160, 120), QColor(12, 12, 14, 200), 2);
    bevel(p, QRectF(0, 192, kW, kH - 192), QColor(150, 154, 160, 120), QColor(12, 12, 14, 200), 2);

    // Title strip slot and the LED window.
    well(p, QRectF(47, 16, 172, 21), QColor(0, 0, 0), 2);
    well(p, QRectF(27, 38, 213, 62), QColor(0, 0, 0), 3);
    // Faint LED grid separators inside the window's black, below the read-outs.
    p.setPen(QPen(QColor(24, 26, 30), 1));
    p.drawLine(QPointF(30, 70.5), QPointF(190, 70.5));
    p.drawLine(QPointF(209.5, 41), QPointF(209.5, 97));

    // Volume legends, transport area plate.
    QLinearGradient plate(0, 113, 0, 171);
    plate.setColorAt(0, QColor(255, 255, 255, 18));
    plate.setColorAt(1, QColor(0, 0, 0, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(21, 113, 222, 58), 4, 4);
    bevel(p, QRectF(21, 113, 222, 58), QColor(190, 194, 200, 110), QColor(8, 8, 10, 170), 4);

    // Brand line.
    const QFont brand = face("Liberation Sans", 13, true, 1.5);
    engrave(p, QPointF(26, 185), QStringLiteral("Kobaltune"), brand, QColor(222, 226, 232));
    engrave(p, QPointF(120, 184), QStringLiteral("DIGITAL MEDIA PLAYER"), face("Liberation Sans", 7, true, 1.2),
            QColor(150, 190, 220));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 140, 210));
    p.drawEllipse(QPointF(112, 180.5), 2.2, 2.2);

    // File list bezel and its legend.
    well(p, QRectF(286, 36, 214, 153), QColor(16, 18, 20), 2);
    engrave(p, QPointF(290, 22), QStringLiteral("FILE LIST"), face("Liberation Sans", 8, true, 1.5));
    engrave(p, QPointF(405, 22), QStringLiteral("OPEN ▸"), face("Liberation Sans", 8, true, 1),
            QColor(170, 176, 184));

    // Video bezel.
    well(p, QRectF(23, 209, 213, 213), QColor(0, 0, 0), 2);
    engrave(p, QPointF(26, 438), QStringLiteral("VIDEO MONITOR"), face("Liberation Sans", 8, true, 1.5));

    for (QPointF c : {QPointF(7, 7), QPointF(260, 7), QPointF(7, 185), QPointF(260, 185), QPointF(520, 7),
                      QPointF(520, 185), QPointF(7, 446), QPointF(520, 446)})
        screw(p, c);
    return img;
}

QImage drawEditBackground(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(2024);
    brushedMetal(img, img.rect(), 70, rng);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    bevel(p, QRectF(0, 0, w, h), QColor(170, 174, 180, 170), QColor(12, 12, 14, 220), 2);
    // Wells behind the album, artist and track boxes and the list (twips / 15).
    well(p, QRectF(24, 32, 309, 18), QColor(16, 18, 20), 1);
    well(p, QRectF(24, 72, 337, 18), QColor(16, 18, 20), 1);
    well(p, QRectF(24, 112, 337, 18), QColor(16, 18, 20), 1);
    well(p, QRectF(24, 136, 337, 100), QColor(16, 18, 20), 1);
    // Brand line beside the buttons.
    engrave(p, QPointF(26, 256), QStringLiteral("Kobaltune"), face("Liberation Sans", 11, true, 1.2),
            QColor(222, 226, 232));
    engrave(p, QPointF(26, 268), QStringLiteral("ALBUM EDITOR"), face("Liberation Sans", 7, true, 1.2),
            QColor(150, 190, 220));
    for (const QPointF c : {QPointF(8, 8), QPointF(w - 8.0, 8), QPointF(8, h - 8.0), QPointF(w - 8.0, h - 8.0)})
        screw(p, c);
    return img;
}
