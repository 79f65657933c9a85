#pragma once

#include "platform/profile/IniText.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace kb::profile {

// The text of one INI file held as its lines, each with its own line end, so that an edit
// changes only the lines it touches and writes every other byte back as it was read.
// Section and key names match regardless of case. Text is UTF-8, or UTF-16 when the file
// starts with its byte order mark (written back in the same encoding); padding after the
// last line (NUL bytes) stays where it is.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(const QByteArray& bytes);

    QByteArray bytes() const;

    // value() of the document bytes would hold, found without building the document.
    static std::optional<QString> find(const QByteArray& bytes, const QString& section,
                                       const QString& key);

    // The value of the first matching key of the first matching section, with surrounding
    // blanks and one pair of surrounding double quotes removed; nullopt when there is none.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Whether a header line and a key line can hold these names.
    static bool holdsNames(const QString& section, const QString& key);

    // Section names in file order (a repeated name once, as its first section counts), and
    // the key names of a section in its order; comments and blank lines are no keys.
    std::vector<QString> sectionNames() const;
    std::vector<QString> keyNames(const QString& section) const;

    // Sets the key's value (creating section and key as needed). Line breaks in the value
    // become blanks. False, and nothing changed, for names a line cannot hold.
    bool setValue(const QString& section, const QString& key, const QString& value);

    // True when something was removed.
    bool removeKey(const QString& section, const QString& key);
    bool removeSection(const QString& section);

private:
    struct Line {
        QByteArray text;
        QByteArray end; // "\r\n", "\n", "\r" or "" (last line without a line end)
    };
    struct Range {
        std::size_t header;
        std::size_t end; // one past the section's last line
    };

    std::optional<Range> findSection(const QString& section) const;
    std::optional<std::size_t> findKey(const Range& range, const QString& key) const;
    QByteArray newLineEnd() const;
    void ensureLastLineEnded();

    IniText frame_; // encoding, byte order mark and padding; its text is in lines_
    std::vector<Line> lines_;
};

} // namespace kb::profile
