#pragma once

#include <QByteArray>
#include <QString>

namespace kb::profile {

// Largest profile file read: far beyond any settings file, small enough to hold in memory.
constexpr qint64 kMaxProfileBytes = 32 * 1024 * 1024;

// A profile file as found on disk. Only a regular file is read: a FIFO, a device or a
// folder under the name is never opened for reading in a way that could block.
struct ProfileFile {
    enum class Kind { Missing, Regular, NotRegular, Unreadable, TooLarge };
    Kind kind = Kind::Missing;
    QByteArray bytes; // the content of a regular file

    static ProfileFile read(const QString& path);
    // For people: why the file cannot be used ("" for Missing and Regular).
    QString problem() const;
};

// Removes the temporary files that writers of `path` left when they were killed midway
// (never one of a writer still running).
void removeLeftoverTemporaries(const QString& path);

// Replaces the file at `path` by `bytes` in one rename: a reader, or a process killed at
// any moment, sees either the old file whole or the new one whole. The new bytes reach the
// disk before the rename. Leftovers of writers that were killed midway are removed first.
// False, with the reason in `why`, when it cannot be done; the old file is then untouched.
bool replaceFileAtomically(const QString& path, const QByteArray& bytes, QString& why);

} // namespace kb::profile
