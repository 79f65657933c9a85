#include "app/Settings.h"

#include "app/DataFolder.h"

#include "platform/profile/PrivateProfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace {

const QString kFileName = QStringLiteral("Kobaltune.ini");

} // namespace

QString Settings::defaultFilePath(const QString& programFolder)
{
    // An installed program keeps its settings with the user even where its folder is writable
    // (root may write to every folder); a settings file placed beside it still wins there.
    const bool portable = !kb::app::IsInstalledLayout(programFolder)
                          || QFileInfo::exists(programFolder + kFileName);
    if (portable && QFileInfo(programFolder).isWritable())
        return programFolder + kFileName;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Kobaltune/") + kFileName;
}

QString AddBackslash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

Settings::Settings()
    : Settings(QString(), AddBackslash(QCoreApplication::applicationDirPath()))
{
    filePath_ = defaultFilePath(programFolder_);
}

Settings::Settings(QString filePath, QString programFolder)
    : filePath_(std::move(filePath)), programFolder_(std::move(programFolder))
{
}

QString Settings::ReadIni(const QString& section, const QString& key) const
{
    return kb::profile::PrivateProfile::getString(section, key, QString(), filePath_,
                                                  batch_ ? &*batch_ : nullptr);
}

namespace {

// The fallback folder under the user's configuration folder may not exist yet.
void makeFolderOf(const QString& file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFileInfo::exists(folder))
        QDir().mkpath(folder);
}

} // namespace

int32_t Settings::WriteIni(const QString& section, const QString& key, const QString& value) const
{
    if (batch_)
        return batch_->writeString(section, key, value) ? 1 : 0;
    makeFolderOf(filePath_);
    return kb::profile::PrivateProfile::writeString(section, key, value, filePath_) ? 1 : 0;
}

Settings::Transaction::Transaction(const Settings& settings) : settings_(settings), outer_(!settings.batch_)
{
    if (outer_)
        settings_.batch_.emplace();
}

Settings::Transaction::~Transaction()
{
    if (outer_)
        settings_.batch_.reset();
}

bool Settings::Transaction::commit(QString* why)
{
    if (!outer_ || !settings_.batch_)
        return true;
    const kb::profile::ProfileBatch batch = std::move(*settings_.batch_);
    settings_.batch_.reset();
    if (batch.empty())
        return true;
    makeFolderOf(settings_.filePath_);
    return kb::profile::PrivateProfile::commit(batch, settings_.filePath_, why);
}

void Settings::LoadOptions(PlayerState& s) const
{
    s.OptTaskTray = QStringLiteral("1");

    struct Option {
        const char* section;
        const char* key;
        QString PlayerState::*global;
        QString fallback;
    };
    const Option options[] = {
        {"Option", "Temae", &PlayerState::OptTemae, QStringLiteral("0")},
        {"Option", "TimeType", &PlayerState::OptTimeType, QStringLiteral("SINGLE TIME")},
        {"Option", "Repeat", &PlayerState::OptRepeat, QStringLiteral("OFF")},
        {"Option", "FolderName", &PlayerState::OptFolderName, programFolder_},
        {"View", "Top", &PlayerState::OptTop, QStringLiteral("100")},
        {"View", "Left", &PlayerState::OptLeft, QStringLiteral("100")},
        {"Option", "Media", &PlayerState::OptMedia, QStringLiteral("CD")},
        {"Option", "AutoRun", &PlayerState::OptAutoRun, QStringLiteral("0")},
    };
    for (const auto& o : options) {
        const QString value = ReadIni(QLatin1String(o.section), QLatin1String(o.key));
        s.*(o.global) = value.trimmed().isEmpty() ? o.fallback : value;
    }

    s.CurCdDrive = ReadIni(QStringLiteral("Option"), QStringLiteral("CurCdDrive"));
    if (s.CurCdDrive.isEmpty())
        s.CurCdDrive = s.CdDrives.value(0);
    const auto at = s.CdDrives.indexOf(s.CurCdDrive);
    if (at >= 0 && at <= INT16_MAX)
        s.CurCdDriveIndex = static_cast<int16_t>(at);
}

void Settings::SaveOptions(const PlayerState& s) const
{
    const QString option = QStringLiteral("Option");
    const QString view = QStringLiteral("View");
    Transaction all(*this);
    WriteIni(option, QStringLiteral("Temae"), s.OptTemae);
    WriteIni(option, QStringLiteral("TimeType"), s.OptTimeType);
    WriteIni(option, QStringLiteral("Repeat"), s.OptRepeat);
    WriteIni(option, QStringLiteral("FolderName"), s.OptFolderName);
    WriteIni(view, QStringLiteral("Top"), s.OptTop);
    WriteIni(view, QStringLiteral("Left"), s.OptLeft);
    WriteIni(option, QStringLiteral("Media"), s.OptMedia);
    WriteIni(option, QStringLiteral("AutoRun"), s.OptAutoRun);
    WriteIni(option, QStringLiteral("CurCdDrive"), s.CurCdDrive);
    QString why;
    if (!all.commit(&why))
        std::fprintf(stderr, "kobaltune: the settings were not saved: %s %s\n",
                     QFile::encodeName(filePath_).constData(), why.toLocal8Bit().constData());
}
