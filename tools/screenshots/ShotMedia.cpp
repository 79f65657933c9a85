// kobaltune-shotmedia OUTPUT-FOLDER: writes a small folder of media per file mode (wave/,
// mp3/, midi/, video/) for take-screenshots.sh, with the file writers of the tests.
#include "tests/platform/avivideo/TestVideo.h"
#include "tests/platform/sequencer/MidiWriter.h"
#include "tests/platform/waveaudio/TestMedia.h"

#include <QDir>
#include <QString>

#include <cstdio>

namespace {

const char* const kSongs[] = {"01 夜明けの駅", "02 Blue Harbor", "03 風のワルツ", "04 Paper Moon"};

std::string file(const QString& folder, int i, const char* ext)
{
    return QDir(folder).filePath(QString::fromUtf8(kSongs[i]) + ext).toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: kobaltune-shotmedia OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (const char* sub : {"wave", "mp3", "midi", "video"})
        QDir().mkpath(out + '/' + sub);
    bool ok = true;
    for (int i = 0; i < 4; ++i) {
        kbtest::Sine tone;
        tone.samples = int64_t(20 + 7 * i) * tone.rate;
        tone.frequency = 220.0 * (i + 2);
        tone.amplitude = 0.2;
        ok = kbtest::writeSineWav(file(out + "/wave", i, ".wav"), tone, 16) && ok;
        ok = kbtest::writeSineMp3(file(out + "/mp3", i, ".mp3"), tone) && ok;
        const auto song = kbtest::fourSecondSong();
        ok = kbtest::writeFile(file(out + "/midi", i, i == 3 ? ".rmi" : ".mid"), i == 3 ? kbtest::rmid(song) : song) && ok;
        kbtest::VideoSpec video;
        video.seconds = 20;
        video.width = 320;
        video.height = 240;
        ok = kbtest::writeTestVideo(file(out + "/video", i, i % 2 ? ".avi" : ".mpg"), video) && ok;
    }
    if (!ok)
        std::fputs("kobaltune-shotmedia: cannot write the media\n", stderr);
    return ok ? 0 : 1;
}
