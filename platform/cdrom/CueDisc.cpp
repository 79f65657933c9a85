#include "platform/cdrom/CueDisc.h"

#include "platform/cdrom/AudioFileReader.h"
#include "platform/cdrom/CueSheet.h"
#include "platform/cdrom/FrameRuns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace kb::cdrom {

namespace {

// One run of consecutive disc frames read from one place.
struct Segment {
    int discStart = 0;
    int count = 0;
    int file = -1;          // -1: silence
    bool audio = true;
    int64_t byteOffset = 0; // raw files: byte of the first sector
    int sectorSize = 2352;
    int64_t sampleOffset = 0; // decoded files: sample of the first sector
};

struct SourceFile {
    std::string path;
    bool raw = true;
    bool bigEndian = false;
    int64_t bytes = 0;
    std::unique_ptr<QFile> rawFile;
    std::unique_ptr<AudioFileReader> decoded;
};

bool isDecodedType(const CueFile& f)
{
    const QString suffix = QFileInfo(QString::fromStdString(f.name)).suffix().toLower();
    if (f.type == "WAVE" || f.type == "MP3" || f.type == "AIFF" || f.type == "FLAC")
        return true;
    return suffix == "wav" || suffix == "flac" || suffix == "mp3" || suffix == "aiff"
        || suffix == "aif" || suffix == "ogg" || suffix == "ape" || suffix == "wv";
}

// The file a sheet names: as written (relative to the sheet), else the same name in
// another letter case, else, for a sheet of a single BIN, the BIN named like the sheet.
QString resolveFile(const QFileInfo& cue, const std::string& name, bool onlyRawFile)
{
    QString written = QString::fromStdString(name);
    written.replace('\\', '/');
    const QDir dir = cue.absoluteDir();
    const QString direct = QDir::isAbsolutePath(written) ? written : dir.filePath(written);
    if (QFileInfo(direct).isFile())
        return direct;
    const QString base = QFileInfo(written).fileName();
    for (const QString& entry : dir.entryList(QDir::Files)) {
        if (entry.compare(base, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    if (onlyRawFile) {
        for (const QString& entry : dir.entryList(QDir::Files)) {
            if (entry.compare(cue.completeBaseName() + ".bin", Qt::CaseInsensitive) == 0)
                return dir.filePath(entry);
        }
    }
    return {};
}

class CueDisc final : public Disc {
public:
    const Toc& toc() const override { return toc_; }
    DiscTitles titles() const override { return titles_; }

    int readAudio(int frame, int count, int16_t* out) override
    {
        std::lock_guard lock(mutex_);
        count = toc_.readableFrames(frame, count);
        if (count <= 0)
            return count;
        int done = 0;
        while (done < count) {
            const Segment* seg = runAt(segments_, frame + done);
            int16_t* dst = out + static_cast<size_t>(done) * kSamplesPerFrame * 2;
            if (!seg) {
                std::memset(dst, 0, kBytesPerFrame);
                ++done;
                continue;
            }
            const int offset = frame + done - seg->discStart;
            const int run = std::min(count - done, seg->count - offset);
            const int got = readSegment(*seg, offset, run, dst);
            done += std::max(got, 0);
            if (got < run)
                return done > 0 ? done : -1;
        }
        return done;
    }

    Toc toc_;
    DiscTitles titles_;
    std::vector<Segment> segments_;
    std::vector<SourceFile> files_;

private:
    int readSegment(const Segment& seg, int offset, int run, int16_t* dst)
    {
        const size_t bytes = static_cast<size_t>(run) * kBytesPerFrame;
        if (seg.file < 0 || !seg.audio) {
            std::memset(dst, 0, bytes);
            return run;
        }
        SourceFile& f = files_[static_cast<size_t>(seg.file)];
        if (f.raw) {
            if (!f.rawFile->seek(seg.byteOffset + static_cast<int64_t>(offset) * seg.sectorSize))
                return -1;
            const qint64 got = f.rawFile->read(reinterpret_cast<char*>(dst), static_cast<qint64>(bytes));
            if (got < 0)
                return -1;
            const int whole = static_cast<int>(got / kBytesPerFrame);
            if (f.bigEndian) {
                auto* p = reinterpret_cast<uint16_t*>(dst);
                for (size_t i = 0; i < static_cast<size_t>(whole) * kSamplesPerFrame * 2; ++i)
                    p[i] = static_cast<uint16_t>((p[i] >> 8) | (p[i] << 8));
            }
            return whole;
        }
        const int64_t want = static_cast<int64_t>(run) * kSamplesPerFrame;
        const int64_t start = seg.sampleOffset + static_cast<int64_t>(offset) * kSamplesPerFrame;
        const int64_t got = f.decoded->read(start, want, dst);
        if (got < 0)
            return -1;
        // The file's last sector is padded with silence.
        const int64_t fileLeft = f.decoded->sampleCount() - start;
        if (got < want && got == std::min(want, fileLeft)) {
            std::memset(dst + got * 2, 0, static_cast<size_t>(want - got) * 4);
            return run;
        }
        return static_cast<int>(got / kSamplesPerFrame);
    }

    std::mutex mutex_;
};

struct Point {
    int track;   // index into CueSheet::tracks
    int index;   // INDEX number
    int file;
    int frame;   // in the file
};

} // namespace

DiscOpenResult openCueDisc(const std::string& cuePath)
{
    DiscOpenResult result;
    auto fail = [&](DiscError e, std::string message) {
        result.disc.reset();
        result.error = e;
        result.message = std::move(message);
        return std::move(result);
    };
    QFile cueFile(QString::fromStdString(cuePath));
    if (!cueFile.exists())
        return fail(DiscError::NotFound, cuePath + ": no such file");
    if (!cueFile.open(QIODevice::ReadOnly))
        return fail(DiscError::Unreadable, cuePath + ": cannot be read");
    if (cueFile.size() > 1024 * 1024)
        return fail(DiscError::Invalid, cuePath + ": too large for a CUE sheet");
    CueSheet sheet;
    std::string error;
    if (!parseCueSheet(cueFile.readAll(), sheet, error))
        return fail(DiscError::Invalid, cuePath + ": " + error);

    auto disc = std::make_unique<CueDisc>();
    const QFileInfo cueInfo(QString::fromStdString(cuePath));
    const bool onlyRaw = sheet.files.size() == 1 && !isDecodedType(sheet.files[0]);
    for (const CueFile& cf : sheet.files) {
        SourceFile sf;
        const QString path = resolveFile(cueInfo, cf.name, onlyRaw);
        if (path.isEmpty())
            return fail(DiscError::NotFound, cuePath + ": the file " + cf.name + " it names is missing");
        sf.path = path.toStdString();
        sf.raw = !isDecodedType(cf);
        sf.bigEndian = cf.type == "MOTOROLA";
        if (sf.raw) {
            sf.rawFile = std::make_unique<QFile>(path);
            if (!sf.rawFile->open(QIODevice::ReadOnly))
                return fail(DiscError::Unreadable, sf.path + ": cannot be read");
            sf.bytes = sf.rawFile->size();
        } else {
            sf.decoded = AudioFileReader::open(sf.path, error);
            if (!sf.decoded)
                return fail(DiscError::Invalid, error);
        }
        disc->files_.push_back(std::move(sf));
    }

    std::vector<Point> points;
    for (size_t t = 0; t < sheet.tracks.size(); ++t) {
        for (const CueIndex& i : sheet.tracks[t].indexes)
            points.push_back({static_cast<int>(t), i.number, i.file, i.frame});
    }
    for (size_t i = 1; i < points.size(); ++i) {
        if (points[i].file < points[i - 1].file
            || (points[i].file == points[i - 1].file && points[i].frame < points[i - 1].frame))
            return fail(DiscError::Invalid, cuePath + ": INDEX times go backwards");
    }

    int discPos = kLeadInFrames;
    std::vector<int> trackStart(sheet.tracks.size(), -1);
    for (size_t f = 0; f < disc->files_.size(); ++f) {
        SourceFile& sf = disc->files_[f];
        std::vector<size_t> mine;
        for (size_t i = 0; i < points.size(); ++i) {
            if (points[i].file == static_cast<int>(f))
                mine.push_back(i);
        }
        int64_t byte = 0;
        for (size_t k = 0; k < mine.size(); ++k) {
            const Point& p = points[mine[k]];
            const CueTrack& track = sheet.tracks[static_cast<size_t>(p.track)];
            const int size = track.sectorSize;
            if (k == 0)
                byte = static_cast<int64_t>(p.frame) * size;
            const bool firstOfTrack = p.index == track.indexes.front().number;
            if (firstOfTrack && track.pregap > 0) {
                disc->segments_.push_back({discPos, track.pregap, -1, track.audio});
                discPos += track.pregap;
            }
            if (p.index == 1)
                trackStart[static_cast<size_t>(p.track)] = discPos;
            int64_t endFrame;
            if (k + 1 < mine.size()) {
                endFrame = points[mine[k + 1]].frame;
            } else if (sf.raw) {
                const int64_t left = std::max<int64_t>(sf.bytes - byte, 0);
                endFrame = p.frame + left / size;
            } else {
                endFrame = (sf.decoded->sampleCount() + kSamplesPerFrame - 1) / kSamplesPerFrame;
            }
            // Checked before it is added up: a huge file could otherwise overflow the sum.
            if (endFrame - p.frame > kLastFrameAddress)
                return fail(DiscError::Invalid, cuePath + ": longer than a CD can be");
            if (endFrame < p.frame)
                return fail(DiscError::Invalid, cuePath + ": track " + std::to_string(track.number)
                                                    + " starts past the end of " + sf.path);
            const int count = static_cast<int>(endFrame - p.frame);
            if (count > 0) {
                Segment s{discPos, count, static_cast<int>(f), track.audio};
                s.byteOffset = byte;
                s.sectorSize = size;
                s.sampleOffset = static_cast<int64_t>(p.frame) * kSamplesPerFrame;
                disc->segments_.push_back(s);
            }
            discPos += count;
            byte += static_cast<int64_t>(count) * size;
            const size_t next = mine[k] + 1;
            const bool lastOfTrack = next == points.size() || points[next].track != p.track;
            if (lastOfTrack && track.postgap > 0) {
                disc->segments_.push_back({discPos, track.postgap, -1, track.audio});
                discPos += track.postgap;
            }
            if (discPos > kLastFrameAddress)
                return fail(DiscError::Invalid, cuePath + ": longer than the 100 minutes a CD can address");
        }
    }

    for (size_t t = 0; t < sheet.tracks.size(); ++t) {
        const CueTrack& ct = sheet.tracks[t];
        if (trackStart[t] < 0 || trackStart[t] >= discPos)
            return fail(DiscError::Invalid, cuePath + ": track " + std::to_string(ct.number)
                                                + " lies past the end of its file");
        disc->toc_.tracks.push_back({ct.number, trackStart[t], ct.audio});
        disc->titles_.tracks.push_back(ct.title);
    }
    disc->toc_.leadOut = discPos;
    disc->titles_.album = sheet.title;
    disc->titles_.performer = sheet.performer;
    result.disc = std::move(disc);
    return result;
}

} // namespace kb::cdrom
