#pragma once

#include "app/PlayerState.h"

#include <QString>

#include <cstdint>

// The settings file "Kobaltune.ini" and the option values kept in it.
class Settings {
public:
    // The program folder (the executable's) is used when it is writable; otherwise
    // $XDG_CONFIG_HOME/Kobaltune/ (default ~/.config/Kobaltune/).
    Settings();
    // An explicit file (tests); programFolder is what AddBackslash(App.Path) gives.
    Settings(QString filePath, QString programFolder);

    // Where the default constructor puts the file for a program in programFolder.
    static QString defaultFilePath(const QString& programFolder);

    QString filePath() const { return filePath_; }
    QString programFolder() const { return programFolder_; }

    QString ReadIni(const QString& section, const QString& key) const;
    int32_t WriteIni(const QString& section, const QString& key, const QString& value) const;

    void LoadOptions(PlayerState& s) const;
    void SaveOptions(const PlayerState& s) const;

private:
    QString filePath_;
    QString programFolder_;
};

// The path followed by "/" unless it already ends with one.
QString AddBackslash(const QString& path);
