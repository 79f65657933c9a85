#include "platform/profile/PrivateProfile.h"

#include "platform/profile/IniDocument.h"
#include "platform/profile/ProfileFile.h"

namespace kb::profile {

namespace {

// Loads the file, applies `change` and writes the result back when it changed anything.
bool edit(const QString& path, const std::function<bool(IniDocument&)>& change, QString* why = nullptr)
{
    QString problem;
    const auto done = [&](bool ok) {
        if (why)
            *why = problem;
        return ok;
    };
    if (path.isEmpty()) {
        problem = QStringLiteral("no file name");
        return done(false);
    }
    const ProfileFile file = ProfileFile::read(path);
    if (file.kind != ProfileFile::Kind::Regular && file.kind != ProfileFile::Kind::Missing) {
        problem = file.problem();
        return done(false);
    }
    IniDocument doc(file.bytes);
    if (!change(doc))
        return done(false);
    const QByteArray updated = doc.bytes();
    if (updated == file.bytes) {
        removeLeftoverTemporaries(path);
        return done(true);
    }
    return done(replaceFileAtomically(path, updated, problem));
}

QString withoutTrailingBlanks(QString s)
{
    while (!s.isEmpty() && (s.back() == QLatin1Char(' ') || s.back() == QLatin1Char('\t')))
        s.chop(1);
    return s;
}

} // namespace

bool ProfileBatch::writeString(const QString& section, const QString& key, const QString& value)
{
    if (!IniDocument::holdsNames(section, key))
        return false;
    changes_.push_back([=](IniDocument& doc) { doc.setValue(section, key, value); });
    return true;
}

void ProfileBatch::deleteKey(const QString& section, const QString& key)
{
    changes_.push_back([=](IniDocument& doc) { doc.removeKey(section, key); });
}

void ProfileBatch::deleteSection(const QString& section)
{
    changes_.push_back([=](IniDocument& doc) { doc.removeSection(section); });
}

void ProfileBatch::applyTo(IniDocument& doc) const
{
    for (const auto& change : changes_)
        change(doc);
}

QString PrivateProfile::getString(const QString& section, const QString& key, const QString& defaultValue,
                                  const QString& file, const ProfileBatch* pending)
{
    const ProfileFile f = ProfileFile::read(file);
    std::optional<QString> value;
    if (pending && !pending->empty()) {
        IniDocument doc(f.bytes);
        pending->applyTo(doc);
        value = doc.value(section, key);
    } else {
        value = IniDocument::find(f.bytes, section, key);
    }
    return value ? *value : withoutTrailingBlanks(defaultValue);
}

bool PrivateProfile::writeString(const QString& section, const QString& key,
                                 const QString& value, const QString& file)
{
    return edit(file, [&](IniDocument& doc) { return doc.setValue(section, key, value); });
}

bool PrivateProfile::deleteKey(const QString& section, const QString& key, const QString& file)
{
    return edit(file, [&](IniDocument& doc) {
        doc.removeKey(section, key);
        return true;
    });
}

bool PrivateProfile::deleteSection(const QString& section, const QString& file)
{
    return edit(file, [&](IniDocument& doc) {
        doc.removeSection(section);
        return true;
    });
}

bool PrivateProfile::commit(const ProfileBatch& batch, const QString& file, QString* why)
{
    return edit(file, [&](IniDocument& doc) {
        batch.applyTo(doc);
        return true;
    }, why);
}

} // namespace kb::profile
