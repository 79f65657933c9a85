#include "browser/FileIcons.h"

#include "browser/FileTypes.h"
#include "ui/SkinArt.h"

#include <QIcon>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kSize = 16;

QPixmap stock(const char* file) { return kb::ui::skinPixmap(QString::fromLatin1(file)); }

// The first image of an icon file (".ico", ".cur"...) at 16 x 16; null when none can be read.
QPixmap firstImageOf(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // Icon files hold several sizes; a small one scales best.
    QImage best;
    const int images = std::max(1, reader.imageCount());
    for (int i = 0; i < images; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage img = reader.read();
        if (img.isNull())
            break;
        if (best.isNull() || std::abs(img.width() - kSize) < std::abs(best.width() - kSize))
            best = img;
        if (img.width() == kSize)
            break;
    }
    if (best.isNull())
        return {};
    return QPixmap::fromImage(best.scaled(kSize, kSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

void FileIcons::reset()
{
    images_.clear();
    keys_.clear();
    add(QStringLiteral("Closed"), stock("list_closed.png"));
    add(QStringLiteral("Leaf"), stock("list_leaf.png"));
    add(QStringLiteral("Archive"), stock("list_archive.png"));
}

QString FileIcons::add(const QString& key, const QPixmap& image)
{
    images_.insert(key, image);
    keys_ << key;
    return key;
}

QString FileIcons::GetFileIcon(int attributes, const QString& path, const QString& ext)
{
    if (attributes & FolderAttribute)
        return QStringLiteral("Closed");
    const QString shared = QStringLiteral("k") + ext;
    if (images_.contains(shared))
        return shared;

    const QString upper = ext.toUpper();
    if (upper == ".ICO" || upper == ".CUR" || upper == ".ANI" || upper == ".EXE") {
        const QPixmap own = firstImageOf(path);
        if (own.isNull())
            return QStringLiteral("Leaf");
        // The image's index is its place in the list once added.
        return add(shared + QString::number(count() + 1), own);
    }
    if (upper == ".LZH" || upper == ".ZIP" || upper == ".CAB" || upper == ".ARJ")
        return QStringLiteral("Archive");

    const QIcon icon = types_.typeIcon(ext);
    const QPixmap drawn = icon.isNull() ? QPixmap() : icon.pixmap(kSize, kSize);
    if (drawn.isNull())
        return QStringLiteral("Leaf");
    return add(shared, drawn);
}
