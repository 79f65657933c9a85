#pragma once

#include <QImage>
#include <QString>

class QPainter;

enum class Glyph { Play, Pause, Stop, Rewind, Forward, First, Previous, Next, Last, Eject, Power,
                   Minimise, Open, Up, Down, Font };
enum class ButtonLook { Normal, Pressed, Disabled };
enum class ListImage { Closed, Leaf, Archive };

QString lookName(ButtonLook look);
// The 527 x 453 panel: brushed metal, the LED window, bezels for list and video.
QImage drawPanel();
// The start-up picture at its design size.
QImage drawSplash(int width, int height);
// The album editor's background: the panel's metal with wells behind its boxes and list.
QImage drawEditBackground(int w, int h);
QImage drawButton(int w, int h, Glyph glyph, ButtonLook look);
QImage drawIcon(int size);
// The program icon drawn on any painter, `size` units square (for the scalable icon too).
void paintIcon(QPainter& p, double size);
QImage drawPointer();
// The 16 x 16 stock images of the file list: folder, document, archive.
QImage drawListImage(ListImage which);
