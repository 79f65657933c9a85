#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// The player's shared state: the program's globals in one plain struct. The application
// owns one instance and hands it to the modules; tests make their own. Flags are bool;
// options stay strings exactly as they are stored in the settings file.
struct PlayerState {
    // Media device control
    QString MciAlias = "2";
    QString LastMciText;
    QString CurDeviceType = "cdaudio";
    bool OpenPending = false;

    // Playback
    bool PollSuspended = false;
    bool PlayFromTrackStart = true;
    int32_t CurTrack = 1;
    int16_t LastTrack = 0;
    // LastTrack while the read-out shows no track at all ("88:"): unequal to every track and
    // list index, so the next poll draws the track and the grid is recoloured.
    static constexpr int16_t kNoTrackDrawn = -1;
    QString TrackCount;
    QString RepeatOneTrack;
    int16_t TitleCycle = 0;
    bool FileListClicked = false;

    // CD drives
    QStringList CdDrives{QString()};
    QString CurCdDrive;
    int16_t CurCdDriveIndex = 0;

    // Output levels
    int16_t CdAuxDevice = 0;
    int16_t AuxInDevice = 0;
    int32_t MutedVolume = 0;

    // Options (settings file)
    QString OptTemae;
    QString OptTimeType;
    QString OptRepeat;
    QString OptFolderName;
    QString OptTop;
    QString OptLeft;
    QString OptMedia;
    QString OptAutoRun;
    QString OptTaskTray;

    // CD title record of the current disc
    QString CdAlbumTitle;
    QString CdArtistName;
    QStringList TrackTitles{QString()};
    QString TitleFontSize;
    QString TitleFontName;
    QString TitleFontExt;
    // Set by OK in the title editor; the caller clears it before the editor opens.
    bool TitleEditOk = false;
};
