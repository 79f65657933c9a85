#include "ui/SkinArt.h"

#include <QImageReader>

// The resources live in a static library; naming the initialiser keeps them linked.
static void initKobaltuneResources() { Q_INIT_RESOURCE(kobaltune); }

namespace kb::ui {
namespace {

void initResources() { initKobaltuneResources(); }

const QStringList& artworkNames()
{
    static const QStringList names = [] {
        QStringList n{"panel.jpg", "pointer.png", "icon.png", "edit_back.png"};
        for (const char* b : {"play", "pause", "stop", "rr", "ff", "top", "prev", "next", "bottom",
                              "eject", "power", "icon", "open", "updrive", "downdrive", "font"})
            for (const char* look : {"normal", "pressed", "disabled"})
                n << QStringLiteral("btn_%1_%2.png").arg(QLatin1String(b), QLatin1String(look));
        return n;
    }();
    return names;
}

} // namespace

QPixmap skinPixmap(const QString& name)
{
    initResources();
    return QPixmap(QStringLiteral(":/skin/") + name);
}

QCursor clickCursor()
{
    const QPixmap p = skinPixmap(QStringLiteral("pointer.png"));
    return p.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(p, 1, 1);
}

QStringList missingImageFormats()
{
    const auto formats = QImageReader::supportedImageFormats();
    QStringList missing;
    for (const char* f : {"png", "jpg"})
        if (!formats.contains(QByteArray(f)))
            missing << QString::fromLatin1(f);
    return missing;
}

QStringList missingArtwork()
{
    initResources();
    QStringList missing;
    for (const QString& n : artworkNames())
        if (QImageReader(QStringLiteral(":/skin/") + n).size().isEmpty())
            missing << n;
    return missing;
}

} // namespace kb::ui
