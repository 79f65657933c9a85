#pragma once

#include <QCursor>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The window's artwork, compiled in as resources under ":/skin/".
namespace kb::ui {

QPixmap skinPixmap(const QString& name);
// The pointer shown over every clickable control.
QCursor clickCursor();
// The image formats the artwork needs that this Qt build cannot read (empty when complete).
QStringList missingImageFormats();
// Artwork files that cannot be loaded (empty when complete).
QStringList missingArtwork();

} // namespace kb::ui
