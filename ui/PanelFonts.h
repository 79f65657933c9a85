#pragma once

#include <QFont>
#include <QString>

// The panel's typefaces: LED digits for the read-outs, a Japanese Gothic for legends and
// the grid, and the per-disc face of the title strip.
namespace kb::ui {

// Maps Windows face names ("MS Gothic", "ＭＳ Ｐゴシック", ...) to installed Japanese faces.
void installFontSubstitutions();
QFont ledFont(int pixelSize);
QFont legendFont(int pixelSize, bool bold = false);
QFont deviceFont();
QFont gridFont();
QFont listFont();
QFont titleFont(const QString& name, int points);
QString fileListStyle();

} // namespace kb::ui
