#pragma once

#include <QString>

namespace kb::profile {

// Private-profile (INI) files on disk. Every call reads the file as it is now; every
// change is written whole to a temporary file that then replaces the old one, so the file
// is never left half-written. Names match regardless of case; every line a change does not
// touch stays byte for byte as it was.
class PrivateProfile {
public:
    // The stored value, or defaultValue with its trailing blanks removed when the file,
    // section or key is missing.
    static QString getString(const QString& section, const QString& key,
                             const QString& defaultValue, const QString& file);

    // Creates the file, section and key as needed; "" stores "key=". Line breaks in the
    // value are stored as blanks. False when the file cannot be written (it is then
    // unchanged) or a name cannot be held on one line.
    static bool writeString(const QString& section, const QString& key, const QString& value,
                            const QString& file);

    // True when the key (or section) is gone afterwards, also when it never existed.
    static bool deleteKey(const QString& section, const QString& key, const QString& file);
    static bool deleteSection(const QString& section, const QString& file);
};

} // namespace kb::profile
