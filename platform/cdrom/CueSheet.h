#pragma once

#include <QByteArray>

#include <string>
#include <vector>

namespace kb::cdrom {

struct CueIndex {
    int number = 1;
    int frame = 0; // sectors from the start of its file
    int file = 0;  // index into CueSheet::files (a pregap may sit in the previous file)
};

struct CueTrack {
    int number = 1;
    std::string mode;     // "AUDIO", "MODE1/2352", ...
    int sectorSize = 2352;
    bool audio = true;
    std::vector<CueIndex> indexes;
    int pregap = 0;       // PREGAP: silent frames not stored in the file
    int postgap = 0;
    std::string title;
    std::string performer;

};

struct CueFile {
    std::string name;     // as written in the sheet
    std::string type;     // "BINARY", "MOTOROLA", "WAVE", "FLAC", ...
};

struct CueSheet {
    std::string title;
    std::string performer;
    std::vector<CueFile> files;
    std::vector<CueTrack> tracks;
};

// Text of a CUE sheet or of CD-TEXT: UTF-8 when the bytes are valid UTF-8, else CP932.
std::string decodeDiscText(const QByteArray& bytes);

// Parses a CUE sheet. False, with a reason in `error`, when the sheet is not usable: no
// FILE or TRACK, a TRACK before any FILE, a track without INDEX 01, malformed times,
// unknown track modes, indexes out of order.
bool parseCueSheet(const QByteArray& bytes, CueSheet& out, std::string& error);

} // namespace kb::cdrom
