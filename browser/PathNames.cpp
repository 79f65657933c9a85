#include "browser/PathNames.h"

#include <QDir>

namespace kb::browser {

QString GetExtension(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (path[i] == u'.')
            return path.mid(i);
        if (path[i] == u'/')
            break;
    }
    return {};
}

QString GetNameOfPath(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QString GetFolderOfPath(const QString& path)
{
    QString result;
    const qsizetype first = path.indexOf(u'/');
    if (first >= 0 && first == path.size() - 1) {
        result = path.left(first); // a root: the path without its final "/"
    } else {
        const qsizetype last = path.lastIndexOf(u'/');
        result = last < 0 ? QDir::currentPath() : path.left(last + 1);
    }
    if (result.endsWith(u'/'))
        result.chop(1);
    return result;
}

} // namespace kb::browser
