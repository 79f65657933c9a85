#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class FileTypes;

// The data of the file list: which files of a folder a device mode lists, in which order,
// and the texts of their columns.
namespace kb::browser {

// One listed file: its full path (the item text) and the texts of columns 1 to 5.
struct FileRow {
    QString path;
    QString name;
    QString size;       // "#,###", "" for an empty file
    QString type;
    QString modified;   // YY/MM/DD HH:MM:SS, local time
    QString attributes; // S H R A
    QString dosName;
};

// The patterns a device mode lists ("*.wav"...), in search order; none for "CD".
QStringList modePatterns(const QString& mode);

// The files of `folder` (a path ending in "/") that match `patterns`: pattern by pattern,
// each pattern's names ordered by their upper-cased spelling. A file that cannot be read
// keeps its path and DOS name but no size, type, date or attributes. Folders are left out.
std::vector<FileRow> readFolderRows(const QString& folder, const QStringList& patterns, FileTypes& types);

// A size with its digits grouped in thousands by `separator`; "" for 0.
QString groupedSize(int64_t size, QChar separator);
// A time in local time as YY/MM/DD HH:MM:SS.
QString listDate(int64_t secondsSinceEpoch);

} // namespace kb::browser
