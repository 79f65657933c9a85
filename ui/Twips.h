#pragma once

#include <QColor>
#include <QRect>

#include <cstdint>

class QWidget;

// Lengths in twips (1440 per inch; 15 per pixel at 96 dpi) and colours as 0x00BBGGRR.
namespace kb::ui {

// Twips per pixel of the primary screen (15 at 96 dpi).
double twipsPerPixel();
int toPx(int twips);
int toTwips(int px);
QRect twipsRect(int left, int top, int width, int height);
void placeTwips(QWidget* w, int left, int top, int width, int height);
void resizeTwips(QWidget* w, int width, int height);

// A colour value with blue in the high byte (0x0000FF red, 0xFFFF00 cyan).
inline QColor bgr(uint32_t v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

inline uint32_t toBgr(const QColor& c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

} // namespace kb::ui
