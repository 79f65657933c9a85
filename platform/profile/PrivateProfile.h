#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace kb::profile {

class IniDocument;

// Changes to one profile file collected to be written together: committed, they replace
// the file once, so that it holds all of them or none. Each change means exactly what the
// single-key call of the same name means; they apply in the order they were made.
class ProfileBatch {
public:
    // False, and nothing queued, for names a line cannot hold.
    bool writeString(const QString& section, const QString& key, const QString& value);
    void deleteKey(const QString& section, const QString& key);
    void deleteSection(const QString& section);

    bool empty() const { return changes_.empty(); }
    void applyTo(IniDocument& doc) const;

private:
    std::vector<std::function<void(IniDocument&)>> changes_;
};

// Private-profile (INI) files on disk. Every call reads the file as it is now; every
// change is written whole to a temporary file that then replaces the old one, so the file
// is never left half-written. Names match regardless of case; every line a change does not
// touch stays byte for byte as it was. Only a regular file is read or replaced: anything
// else under the name reads as a missing file and is never written.
class PrivateProfile {
public:
    // The stored value, or defaultValue with its trailing blanks removed when the file,
    // section or key is missing. With `pending`, as if that batch were committed already.
    static QString getString(const QString& section, const QString& key, const QString& defaultValue,
                             const QString& file, const ProfileBatch* pending = nullptr);

    // Creates the file, section and key as needed; "" stores "key=". Line breaks in the
    // value are stored as blanks. False when the file cannot be written (it is then
    // unchanged) or a name cannot be held on one line.
    static bool writeString(const QString& section, const QString& key, const QString& value,
                            const QString& file);

    // True when the key (or section) is gone afterwards, also when it never existed.
    static bool deleteKey(const QString& section, const QString& key, const QString& file);
    static bool deleteSection(const QString& section, const QString& file);

    // Applies the batch to the file as it is now and writes the result in one replace.
    // False, with the reason in `why`, when the file cannot be written; it is then unchanged.
    static bool commit(const ProfileBatch& batch, const QString& file, QString* why = nullptr);
};

} // namespace kb::profile
