#include "tools/demodisc/DiscImageWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <cstring>

namespace kb::demodisc {

namespace {

constexpr int kSectorBytes = 2352;

QByteArray msf(int frames)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", frames / 4500, frames / 75 % 60, frames % 75);
    return buf;
}

QByteArray quoted(const std::string& text) { return "\"" + QByteArray::fromStdString(text) + "\""; }

QByteArray trackBytes(const ImageTrack& t)
{
    const int sectors = trackSectors(t);
    QByteArray bytes(sectors * kSectorBytes, '\0');
    if (t.data) {
        // Sync pattern, then bytes that would be loud noise if ever played as sound.
        for (int s = 0; s < sectors; ++s) {
            char* sector = bytes.data() + s * kSectorBytes;
            sector[0] = 0;
            for (int i = 1; i < 11; ++i)
                sector[i] = static_cast<char>(0xFF);
            for (int i = 16; i < kSectorBytes; ++i)
                sector[i] = static_cast<char>((i * 131 + s * 7) ^ 0x5A);
        }
        return bytes;
    }
    const int offset = t.pregapSectors * kSectorBytes;
    std::memcpy(bytes.data() + offset, t.pcm.data(), t.pcm.size() * sizeof(int16_t));
    return bytes;
}

QByteArray sheetHeader(const DiscLayout& layout)
{
    QByteArray cue;
    if (!layout.performer.empty())
        cue += "PERFORMER " + quoted(layout.performer) + "\r\n";
    if (!layout.title.empty())
        cue += "TITLE " + quoted(layout.title) + "\r\n";
    return cue;
}

QByteArray trackLines(const ImageTrack& t, int number, int fileSector)
{
    char head[64];
    std::snprintf(head, sizeof head, "  TRACK %02d %s\r\n", number, t.data ? "MODE1/2352" : "AUDIO");
    QByteArray cue = head;
    if (!t.title.empty())
        cue += "    TITLE " + quoted(t.title) + "\r\n";
    if (!t.performer.empty())
        cue += "    PERFORMER " + quoted(t.performer) + "\r\n";
    if (t.pregapSectors > 0)
        cue += "    INDEX 00 " + msf(fileSector) + "\r\n";
    cue += "    INDEX 01 " + msf(fileSector + t.pregapSectors) + "\r\n";
    return cue;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(bytes);
    return f.commit();
}

} // namespace

int trackSectors(const ImageTrack& t)
{
    if (t.data)
        return t.dataSectors;
    const size_t samples = t.pcm.size() / 2;
    return t.pregapSectors + static_cast<int>((samples + kSamplesPerSector - 1) / kSamplesPerSector);
}

bool writeCueBin(const QString& cuePath, const DiscLayout& layout, const QString& binName)
{
    const QFileInfo info(cuePath);
    const QString bin = binName.isEmpty() ? info.completeBaseName() + ".bin" : binName;
    QFile out(info.absolutePath() + "/" + bin);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray cue = sheetHeader(layout);
    cue += "FILE " + quoted(bin.toStdString()) + " BINARY\r\n";
    int sector = 0;
    for (size_t i = 0; i < layout.tracks.size(); ++i) {
        const ImageTrack& t = layout.tracks[i];
        cue += trackLines(t, static_cast<int>(i) + 1, sector);
        const QByteArray bytes = trackBytes(t);
        if (out.write(bytes) != bytes.size())
            return false;
        sector += trackSectors(t);
    }
    return out.flush() && writeFile(cuePath, cue);
}

bool writeCuePerTrackWav(const QString& cuePath, const DiscLayout& layout)
{
    const QFileInfo info(cuePath);
    QByteArray cue = sheetHeader(layout);
    for (size_t i = 0; i < layout.tracks.size(); ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%02d.wav", static_cast<int>(i) + 1);
        ImageTrack t = layout.tracks[i];
        std::vector<int16_t> pcm(static_cast<size_t>(t.pregapSectors) * kSamplesPerSector * 2, 0);
        pcm.insert(pcm.end(), t.pcm.begin(), t.pcm.end());
        if (!writeWav(info.absolutePath() + "/" + name, pcm))
            return false;
        cue += "FILE " + quoted(name) + " WAVE\r\n";
        cue += trackLines(t, static_cast<int>(i) + 1, 0);
    }
    return writeFile(cuePath, cue);
}

bool writeNrg(const QString& path, const DiscLayout& layout, int leadInSectors)
{
    auto be = [](QByteArray& out, uint64_t v, int bytes) {
        for (int i = bytes - 1; i >= 0; --i)
            out.append(static_cast<char>(v >> (8 * i)));
    };
    QByteArray image(leadInSectors * kSectorBytes, '\0');
    QByteArray entries;
    for (const ImageTrack& t : layout.tracks) {
        const int64_t index0 = image.size() - (&t == &layout.tracks.front() ? leadInSectors * kSectorBytes : 0);
        const int64_t index1 = image.size() + int64_t{t.pregapSectors} * kSectorBytes;
        image += trackBytes(t);
        entries += QByteArray(12, '\0'); // ISRC
        be(entries, kSectorBytes, 2);
        entries.append(static_cast<char>(t.data ? 0x05 : 0x07));
        entries += QByteArray(3, '\0');
        be(entries, static_cast<uint64_t>(index0), 8);
        be(entries, static_cast<uint64_t>(index1), 8);
        be(entries, static_cast<uint64_t>(image.size()), 8);
    }
    QByteArray dao;
    be(dao, static_cast<uint64_t>(22 + entries.size()), 4);
    dao += QByteArray(13 + 3, '\0'); // catalog number, unknown
    dao.append(static_cast<char>(1));
    dao.append(static_cast<char>(layout.tracks.size()));
    dao += entries;
    const int64_t chainStart = image.size();
    image += "DAOX";
    be(image, static_cast<uint64_t>(dao.size()), 4);
    image += dao;
    image += "END!";
    be(image, 0, 4);
    image += "NER5";
    be(image, static_cast<uint64_t>(chainStart), 8);
    return writeFile(path, image);
}

bool writeWav(const QString& path, const std::vector<int16_t>& pcm)
{
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    QByteArray h;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) h.append(static_cast<char>(v >> (8 * i))); };
    auto u16 = [&](uint16_t v) { h.append(static_cast<char>(v)); h.append(static_cast<char>(v >> 8)); };
    h += "RIFF";
    u32(36 + dataBytes);
    h += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    h += "data";
    u32(dataBytes);
    h.append(reinterpret_cast<const char*>(pcm.data()), static_cast<qsizetype>(dataBytes));
    return writeFile(path, h);
}

std::vector<int16_t> testSignal(int sectors, int seed)
{
    std::vector<int16_t> pcm(static_cast<size_t>(sectors) * kSamplesPerSector * 2);
    uint32_t state = 0x9E3779B9u * static_cast<uint32_t>(seed + 1);
    for (size_t i = 0; i < pcm.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        pcm[i] = static_cast<int16_t>((state >> 16) % 20000 - 10000);
    }
    return pcm;
}

} // namespace kb::demodisc
