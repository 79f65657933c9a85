#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace kb::ui {

double twipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int toPx(int twips) { return int(std::lround(twips / twipsPerPixel())); }

int toTwips(int px) { return int(std::lround(px * twipsPerPixel())); }

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(toPx(left), toPx(top), toPx(width), toPx(height));
}

void placeTwips(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(twipsRect(left, top, width, height));
}

void resizeTwips(QWidget* w, int width, int height)
{
    w->resize(toPx(width), toPx(height));
}

} // namespace kb::ui
