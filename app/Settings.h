#pragma once

#include "app/PlayerState.h"
#include "platform/profile/PrivateProfile.h"

#include <QString>

#include <cstdint>
#include <optional>

// The settings file "Kobaltune.ini" and the option values kept in it.
class Settings {
public:
    // The program folder (the executable's) is used when it is writable; otherwise
    // $XDG_CONFIG_HOME/Kobaltune/ (default ~/.config/Kobaltune/). An installed program
    // (bin/ beside share/kobaltune/) uses its folder only when the file is already there.
    Settings();
    // An explicit file (tests); programFolder is what AddBackslash(App.Path) gives.
    Settings(QString filePath, QString programFolder);

    // Where the default constructor puts the file for a program in programFolder.
    static QString defaultFilePath(const QString& programFolder);

    QString filePath() const { return filePath_; }
    QString programFolder() const { return programFolder_; }

    QString ReadIni(const QString& section, const QString& key) const;
    int32_t WriteIni(const QString& section, const QString& key, const QString& value) const;

    // While one lives, WriteIni gathers its changes (ReadIni already sees them) and commit()
    // writes them all in one replace of the file: after any crash the file is wholly old or
    // wholly new. Gathered changes that are not committed are dropped. A transaction opened
    // inside another joins it; only the outer one writes.
    class Transaction {
    public:
        explicit Transaction(const Settings& settings);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        // False, with the reason in `why`, when the file could not be written.
        bool commit(QString* why = nullptr);

    private:
        const Settings& settings_;
        bool outer_;
    };

    void LoadOptions(PlayerState& s) const;
    void SaveOptions(const PlayerState& s) const;

private:
    QString filePath_;
    QString programFolder_;
    mutable std::optional<kb::profile::ProfileBatch> batch_; // the open transaction's changes
};

// The path followed by "/" unless it already ends with one.
QString AddBackslash(const QString& path);
