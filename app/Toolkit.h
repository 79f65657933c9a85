#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>

#include <cstdint>

class QWidget;

// The small services every window of the player relies on: the application's name and
// folder, the message pump, message boxes, twips and 0x00BBGGRR colours.
namespace kb::app {

// App.Title and App.Path (the program's folder, without a trailing "/").
QString AppTitle();
QString AppPath();

// Delivers every pending event, then returns; handlers may run inside.
void DoEvents();

// A modal message box with the application title as caption unless one is given. When the
// environment variable KOBALTUNE_ECHO_MESSAGES is set (headless test runs), the text goes to
// stderr instead and the box is answered with its default (first) button.
QMessageBox::StandardButton MsgBox(const QString& text,
                                   QMessageBox::Icon icon = QMessageBox::NoIcon,
                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                   const QString& caption = {});

// Twips per pixel at the primary screen's logical resolution (15 at 96 dpi).
double TwipsPerPixelX();
double TwipsPerPixelY();
int twipsToPixelsX(int twips);
int twipsToPixelsY(int twips);
int pixelsToTwipsX(int pixels);
int pixelsToTwipsY(int pixels);

// A 0x00BBGGRR colour value.
QColor colorFromBgr(uint32_t bgr);

// Keeps a window above all others, or returns it to the normal order, without moving it.
void setTopmost(QWidget* window, bool topmost);

} // namespace kb::app
