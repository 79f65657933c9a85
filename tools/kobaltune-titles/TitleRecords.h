#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class Settings;

// Title records as plain text: the record sections of the settings file, each key as it is
// stored, for backup and for moving records between machines.
namespace kb::titles {

struct Record {
    QString key;                                  // the disc key, the section's name
    std::vector<std::pair<QString, QString>> values; // record keys in file order
};

// Whether a section name is a disc key: one to eight hexadecimal digits.
bool isDiscKey(const QString& name);
// Whether a key belongs to a title record (AlbumTitle, NameOfArtist, TitleOfTrackN, Font*).
bool isRecordKey(const QString& key);

// The records of an INI text: sections named as disc keys, with their record keys only.
// Not ok when the text is too large to be a settings file.
struct ParsedRecords {
    bool ok = false;
    std::vector<Record> records;
    QString error;
};
ParsedRecords parseRecords(const QByteArray& text);

// The records as a text parseRecords reads back.
QByteArray formatRecords(const std::vector<Record>& records);

// Whether a record holds any title (album, artist or a track) that is more than blanks.
bool hasTitles(const Record& record);

// The records stored in the settings file now.
ParsedRecords readRecords(const Settings& settings);

// Stores every value of `record` in the settings file; false when a write failed.
bool writeRecord(const Settings& settings, const Record& record);

} // namespace kb::titles
