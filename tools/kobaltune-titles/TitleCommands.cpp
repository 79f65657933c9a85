#include "tools/kobaltune-titles/TitleCommands.h"

#include "app/PlayerState.h"
#include "app/Settings.h"
#include "platform/cdrom/Disc.h"
#include "platform/cdrom/DriveName.h"
#include "titles/TitleStore.h"
#include "tools/kobaltune-titles/TitleRecords.h"

#include <QFile>

#include <algorithm>
#include <optional>

namespace {

using kb::titles::Record;

constexpr const char* kUsage =
    "usage: kobaltune-titles [--settings FILE] show DRIVE\n"
    "         the disc's key and its stored record\n"
    "       kobaltune-titles [--settings FILE] import DRIVE [--force]\n"
    "         fill the disc's record from its CD-TEXT or CUE sheet titles\n"
    "       kobaltune-titles [--settings FILE] export [KEY...]\n"
    "         write the records (all, or those named) as text to standard output\n"
    "       kobaltune-titles [--settings FILE] import-file FILE [--force]\n"
    "         store the records of an exported file\n"
    "A record that already has titles is kept unless --force is given.\n";

// Exported files are small; anything far larger is refused before it is read.
constexpr qint64 kMaxImportBytes = 64 * 1024 * 1024;

std::string text(const QString& s) { return s.toStdString(); }

struct DiscInDrive {
    QString key;
    std::unique_ptr<kb::cdrom::Disc> disc;
};

// The disc in `drive` and its key, as the player computes it from the disc's identity.
std::optional<DiscInDrive> openDrive(const std::string& drive, TitleToolContext& tool)
{
    const auto name = kb::cdrom::normalizeDriveName(drive);
    if (!name) {
        tool.err << "kobaltune-titles: \"" << drive << "\" is not a drive name (write it like D:)\n";
        return std::nullopt;
    }
    const auto drives = tool.drives ? tool.drives() : std::vector<kb::cdrom::DriveEntry>{};
    const auto it = std::find_if(drives.begin(), drives.end(), [&](const auto& d) { return d.name == *name; });
    if (it == drives.end()) {
        tool.err << "kobaltune-titles: there is no drive " << *name << '\n';
        return std::nullopt;
    }
    if (it->source.empty()) {
        tool.err << "kobaltune-titles: there is no disc in " << *name << '\n';
        return std::nullopt;
    }
    kb::cdrom::DiscOpenResult opened = kb::cdrom::openDisc(it->source);
    if (!opened.disc || opened.disc->toc().tracks.empty()) {
        tool.err << "kobaltune-titles: the disc in " << *name << " cannot be read"
                 << (opened.message.empty() ? "" : ": " + opened.message) << '\n';
        return std::nullopt;
    }
    const QString key = TitleStore::keyFromIdentity(QString::number(opened.disc->toc().identity()));
    if (key.isEmpty()) {
        tool.err << "kobaltune-titles: the disc in " << *name << " has no identity the player can keep titles for\n";
        return std::nullopt;
    }
    return DiscInDrive{key, std::move(opened.disc)};
}

// The stored record of `key`, read through the player's own title store.
PlayerState loadRecord(const Settings& settings, const QString& key, int tracks)
{
    PlayerState s;
    s.TrackCount = QString::number(tracks);
    TitleStore(s, settings).LoadCdTitles(key);
    return s;
}

bool stateHasTitles(const PlayerState& s)
{
    if (!s.CdAlbumTitle.isEmpty() || !s.CdArtistName.isEmpty())
        return true;
    return std::any_of(s.TrackTitles.begin(), s.TrackTitles.end(), [](const QString& t) { return !t.isEmpty(); });
}

int show(const std::string& drive, TitleToolContext& tool)
{
    const auto disc = openDrive(drive, tool);
    if (!disc)
        return 1;
    const int tracks = disc->disc->toc().trackCount();
    const PlayerState s = loadRecord(tool.settings, disc->key, tracks);
    tool.out << "key: " << text(disc->key) << '\n'
             << "tracks: " << tracks << '\n'
             << "album: " << text(s.CdAlbumTitle) << '\n'
             << "artist: " << text(s.CdArtistName) << '\n';
    for (int i = 1; i < s.TrackTitles.size(); ++i)
        tool.out << QStringLiteral("%1: ").arg(i, 2, 10, QLatin1Char('0')).toStdString() << text(s.TrackTitles[i]) << '\n';
    tool.out << "font: " << text(s.TitleFontName) << ' ' << text(s.TitleFontSize) << ' ' << text(s.TitleFontExt) << '\n';
    return 0;
}

int importDisc(const std::string& drive, bool force, TitleToolContext& tool)
{
    const auto disc = openDrive(drive, tool);
    if (!disc)
        return 1;
    const int tracks = disc->disc->toc().trackCount();
    const kb::cdrom::DiscTitles titles = disc->disc->titles();
    const bool any = !titles.album.empty() || !titles.performer.empty() ||
                     std::any_of(titles.tracks.begin(), titles.tracks.end(), [](const auto& t) { return !t.empty(); });
    if (!any) {
        tool.err << "kobaltune-titles: the disc carries no titles (no CD-TEXT, no TITLE in its CUE sheet)\n";
        return 1;
    }
    PlayerState s = loadRecord(tool.settings, disc->key, tracks);
    if (stateHasTitles(s) && !force) {
        tool.err << "kobaltune-titles: [" << text(disc->key)
                 << "] already has titles; it is kept (give --force to replace them)\n";
        return kExitKept;
    }
    s.CdAlbumTitle = QString::fromStdString(titles.album);
    s.CdArtistName = QString::fromStdString(titles.performer);
    for (int i = 1; i <= tracks; ++i)
        s.TrackTitles[i] = size_t(i - 1) < titles.tracks.size() ? QString::fromStdString(titles.tracks[size_t(i - 1)]) : QString();
    TitleStore(s, tool.settings).SaveCdTitles(disc->key);
    // Every key is written on its own: read the record back to know that all of them arrived.
    const PlayerState stored = loadRecord(tool.settings, disc->key, tracks);
    if (stored.CdAlbumTitle != s.CdAlbumTitle.trimmed() || stored.TrackTitles.size() != s.TrackTitles.size()) {
        tool.err << "kobaltune-titles: cannot write " << text(tool.settings.filePath()) << '\n';
        return 1;
    }
    tool.out << '[' << text(disc->key) << "] " << text(s.CdAlbumTitle) << " / " << text(s.CdArtistName)
             << ", " << tracks << " tracks\n";
    return 0;
}

int exportRecords(const std::vector<std::string>& keys, TitleToolContext& tool)
{
    const auto stored = kb::titles::readRecords(tool.settings);
    if (!stored.ok) {
        tool.err << "kobaltune-titles: " << text(stored.error) << '\n';
        return 1;
    }
    std::vector<Record> chosen;
    int missing = 0;
    if (keys.empty()) {
        chosen = stored.records;
    } else {
        for (const std::string& k : keys) {
            const QString key = QString::fromStdString(k).toUpper();
            const auto it = std::find_if(stored.records.begin(), stored.records.end(),
                                         [&](const Record& r) { return r.key == key; });
            if (it == stored.records.end()) {
                tool.err << "kobaltune-titles: there is no record [" << text(key) << "]\n";
                ++missing;
            } else {
                chosen.push_back(*it);
            }
        }
    }
    tool.out << kb::titles::formatRecords(chosen).toStdString();
    return missing ? 1 : 0;
}

int importFile(const std::string& path, bool force, TitleToolContext& tool)
{
    QFile file(QString::fromLocal8Bit(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) {
        tool.err << "kobaltune-titles: cannot read " << path << '\n';
        return 1;
    }
    if (file.size() > kMaxImportBytes) {
        tool.err << "kobaltune-titles: " << path << " is too large to be exported titles\n";
        return 1;
    }
    const auto incoming = kb::titles::parseRecords(file.read(kMaxImportBytes));
    const auto stored = kb::titles::readRecords(tool.settings);
    if (!incoming.ok || !stored.ok) {
        tool.err << "kobaltune-titles: " << text(incoming.ok ? stored.error : incoming.error) << '\n';
        return 1;
    }
    int written = 0, kept = 0, failed = 0;
    for (const Record& r : incoming.records) {
        const auto old = std::find_if(stored.records.begin(), stored.records.end(),
                                      [&](const Record& s) { return s.key == r.key; });
        if (!force && old != stored.records.end() && kb::titles::hasTitles(*old)) {
            tool.err << "kobaltune-titles: [" << text(r.key) << "] already has titles; it is kept\n";
            ++kept;
            continue;
        }
        if (kb::titles::writeRecord(tool.settings, r)) {
            ++written;
        } else {
            tool.err << "kobaltune-titles: cannot write [" << text(r.key) << "] to "
                     << text(tool.settings.filePath()) << '\n';
            ++failed;
        }
    }
    tool.out << written << " records stored, " << kept << " kept\n";
    if (failed)
        return 1;
    return kept ? kExitKept : 0;
}

} // namespace

int runTitleCommand(const std::vector<std::string>& args, TitleToolContext& tool)
{
    std::vector<std::string> words;
    bool force = false;
    for (const std::string& a : args) {
        if (a == "--force")
            force = true;
        else
            words.push_back(a);
    }
    const std::string command = words.empty() ? "" : words[0];
    if (command == "show" && words.size() == 2 && !force)
        return show(words[1], tool);
    if (command == "import" && words.size() == 2)
        return importDisc(words[1], force, tool);
    if (command == "export" && !force)
        return exportRecords({words.begin() + 1, words.end()}, tool);
    if (command == "import-file" && words.size() == 2)
        return importFile(words[1], force, tool);
    tool.err << kUsage;
    return 2;
}
