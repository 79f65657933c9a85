#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>
#include <QStringList>

class FileTypes;

// The file list's working image list ImgListDummy: 16 x 16 images by key, the three stock
// images first, then one image per file type (and one per file for icon files).
class FileIcons {
public:
    static constexpr int FolderAttribute = 0x10;

    explicit FileIcons(FileTypes& types) : types_(types) { reset(); }

    // Empties the list and puts the stock images "Closed", "Leaf" and "Archive" back.
    void reset();
    // The key of the file's image, adding the image when it is new.
    QString GetFileIcon(int attributes, const QString& path, const QString& ext);

    QPixmap image(const QString& key) const { return images_.value(key); }
    bool contains(const QString& key) const { return images_.contains(key); }
    int count() const { return int(keys_.size()); }

private:
    QString add(const QString& key, const QPixmap& image);

    FileTypes& types_;
    QHash<QString, QPixmap> images_;
    QStringList keys_; // in the order added: an image's index is its place here, from 1
};
