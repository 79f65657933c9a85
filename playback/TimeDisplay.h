#pragma once

#include <QString>

#include <cstdint>

struct AppContext;
class frmMedia;

// The LED read-out texts, the title strip's look and rotation, and its scrolling.
class TimeDisplay {
public:
    TimeDisplay(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form) {}

    // Read-out rules. Each returns the text to show.
    // CD track number: "07:" from "7", "23:" from "123".
    static QString cdTrackNumberText(const QString& currentTrackReply);
    // Milliseconds as "mm:ss"; minutes keep their last two digits.
    static QString millisecondsText(const QString& reply);
    // Characters first..first+count-1 (1-based) of `text`, or what is left of them.
    static QString cut(const QString& text, int first, int count);
    // The position text for `deviceType` from a position reply; `current` is returned
    // unchanged when the reply is an error.
    static QString positionText(const QString& deviceType, const QString& optTimeType,
                                const QString& reply, const QString& current);
    // The total-length text from a length reply ("88:88" for an error).
    static QString lengthText(const QString& deviceType, const QString& reply);

    // Writes the position read-out from a position reply.
    void ShowPosition(const QString& positionReply);
    // Sets the device's time format and writes lblAllTime from "status <alias> length".
    void ShowTotalLength();

    void ResetTitleFont();
    // The CD strip font for a changed track: the disc's title font, or 9 pt Times New Roman
    // for a disc without an album title.
    void ApplyCdTitleFont();
    // One step of the artist/album/track rotation (nothing for a disc without album title).
    void RotateTitles(int track);
    void timScroll_Timer();

private:
    AppContext& ctx_;
    frmMedia& form_;
};
