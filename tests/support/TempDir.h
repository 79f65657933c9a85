#pragma once

#include <QString>
#include <QTemporaryDir>

namespace kbtest {

// A private folder under the system temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    std::string fileUtf8(const QString& name) const { return file(name).toStdString(); }

private:
    QTemporaryDir dir_;
};

// Folders the build and the sources live in (for the built programs and test data).
QString binaryDir();
QString sourceDir();

} // namespace kbtest
