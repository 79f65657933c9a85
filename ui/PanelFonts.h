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
// The legends of the dialogs: the serif face the panel maps "Times New Roman" to.
QFont legendSerifFont();
// The about box's labels: "ＭＳ Ｐゴシック", through the same face table.
QFont aboutFont(int points);
QString fileListStyle();
// Text boxes, lists and buttons of the player's dialogs over their metal background.
QString dialogStyle();

} // namespace kb::ui
