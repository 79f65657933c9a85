#include "ui/SkinArt.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmapCache>

#include <memory>
#include <optional>
#include <utility>

// The resources live in a static library; naming the initialiser keeps them linked.
static void initKobaltuneResources() { Q_INIT_RESOURCE(kobaltune); }

namespace kb::ui {
namespace {

void initResources() { initKobaltuneResources(); }

const QStringList& artworkNames()
{
    static const QStringList names = [] {
        QStringList n{"panel.bmp", "pointer.png", "icon.png", "edit_back.png"};
        for (const char* b : {"play", "pause", "stop", "rr", "ff", "top", "prev", "next", "bottom",
                              "eject", "power", "icon", "open", "updrive", "downdrive", "font"})
            for (const char* look : {"normal", "pressed", "disabled"})
                n << QStringLiteral("btn_%1_%2.png").arg(QLatin1String(b), QLatin1String(look));
        return n;
    }();
    return names;
}

// A reader of one artwork file by its own format only. With format detection on, Qt loads
// every installed image plugin to ask whether it reads the format better than its own reader.
std::unique_ptr<QImageReader> artReader(const QString& name)
{
    initResources();
    auto reader = std::make_unique<QImageReader>(QStringLiteral(":/skin/") + name, QFileInfo(name).suffix().toLatin1());
    reader->setAutoDetectImageFormat(false);
    return reader;
}

} // namespace

QPixmap skinPixmap(const QString& name)
{
    const QString path = QStringLiteral(":/skin/") + name;
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    pixmap = QPixmap::fromImage(artReader(name)->read());
    if (!pixmap.isNull())
        QPixmapCache::insert(path, pixmap);
    return pixmap;
}

QCursor clickCursor()
{
    // Made once and shared: a cursor made from a picture converts it to bitmaps each time.
    // Released before the application's display goes away.
    static std::optional<QCursor> cursor;
    if (!cursor) {
        const QPixmap p = skinPixmap(QStringLiteral("pointer.png"));
        cursor = p.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(p, 1, 1);
        qAddPostRoutine([] { cursor.reset(); });
    }
    return *cursor;
}

QStringList missingImageFormats()
{
    // Each format is asked of its own reader: listing the supported formats would load every
    // installed image plugin. Both are read by Qt itself, without a plugin.
    QStringList missing;
    for (const auto& [format, sample] : {std::pair{"png", "icon.png"}, std::pair{"bmp", "panel.bmp"}}) {
        const auto reader = artReader(QLatin1String(sample));
        if (!reader->canRead() && reader->error() == QImageReader::UnsupportedFormatError)
            missing << QString::fromLatin1(format);
    }
    return missing;
}

QStringList missingArtwork()
{
    initResources();
    QStringList missing;
    for (const QString& n : artworkNames())
        if (artReader(n)->size().isEmpty())
            missing << n;
    return missing;
}

} // namespace kb::ui
