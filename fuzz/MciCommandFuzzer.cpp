// The MCI command parser and dispatcher with real devices open: a WAV, a MIDI song, a video
// and a CD image in a virtual drive, under the aliases w, m, v and c (and 2 for the CD).
// Each input is up to eight command lines. Oracles: a refused command gives no reply, and
// every reply and error text is one line.
#include "fuzz/support/FuzzFiles.h"
#include "platform/builtin/BuiltinDevices.h"
#include "platform/cdrom/VirtualDriveFile.h"
#include "platform/engine/Platform.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdlib>
#include <memory>

namespace {

struct Engine {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<kb::platform::Platform> platform;
    std::string reply;
};

// Kept to the end of the process: destroyed by static destruction, the application would
// outlive Qt's own globals and crash on the way out.
Engine& engine()
{
    static Engine* const e = std::make_unique<Engine>().release();
    return *e;
}

const char* const kOpens[] = {
    "open \"%1/tone.wav\" alias w", "open \"%1/song.mid\" alias m", "open \"%1/clip.avi\" alias v",
    "open V: type cdaudio alias c", "open V: type cdaudio alias 2",
};

void reopen()
{
    Engine& e = engine();
    for (const char* open : kOpens) {
        QString command = QString::fromLatin1(open);
        command.replace("%1", kbfuzz::workDir().path());
        e.platform->mci->sendString(command.toStdString(), e.reply, nullptr);
    }
}

std::vector<uint8_t> smallSong()
{
    // Format 0, 96 ticks a quarter: a tempo, a note on and off, end of track.
    const std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x90, 60, 100,
                                        0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0,
                                static_cast<uint8_t>(track.size())};
    smf.insert(smf.end(), track.begin(), track.end());
    return smf;
}

// Lines that would stall the run (a wait for a whole play) or reach outside the work folder.
bool harmless(const std::string& line)
{
    std::string lower;
    for (const char c : line)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return lower.find("wait") == std::string::npos && lower.find("/dev") == std::string::npos
        && lower.find("/proc") == std::string::npos && lower.find("/sys") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    const QString home = kbfuzz::workDir().path();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KOBALTUNE_AUDIO", "null");
    qputenv("XDG_CONFIG_HOME", (home + "/config").toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.toUtf8());
    Engine& e = engine();
    e.app = std::make_unique<QApplication>(*argc, *argv);
    kb::demodisc::writeWav(home + "/tone.wav", kb::demodisc::testSignal(20, 1));
    QFile song(home + "/song.mid");
    const std::vector<uint8_t> smf = smallSong();
    if (song.open(QIODevice::WriteOnly))
        song.write(reinterpret_cast<const char*>(smf.data()), static_cast<qint64>(smf.size()));
    song.close();
    kb::demodisc::DiscLayout disc;
    disc.tracks.push_back({kb::demodisc::testSignal(40, 2)});
    disc.tracks.push_back({kb::demodisc::testSignal(30, 3)});
    kb::demodisc::writeCueBin(home + "/disc.cue", disc);
    kb::cdrom::VirtualDriveFile().write({{"V:", (home + "/disc.cue").toStdString(), false, {}}});
    // The video comes from the seed folder when one is there; without it "v" stays closed.
    QFile::copy(QString::fromLocal8Bit(KOBALTUNE_FUZZ_CLIP), home + "/clip.avi");
    // The devices are linked in: coverage of code in a module loaded later would be missed.
    e.platform = kb::platform::makePlatform({kb::audio::SinkChoice::Kind::Null, {}, 1},
                                            kb::platform::builtinDeviceTypes());
    reopen();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    Engine& e = engine();
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (int line = 0; line < 8 && start <= input.size(); ++line) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos)
            end = input.size();
        const std::string command = input.substr(start, end - start);
        start = end + 1;
        if (!harmless(command))
            continue;
        e.reply = "stale";
        const uint32_t rc = e.platform->mci->sendString(command, e.reply, nullptr);
        if (rc != 0 && !e.reply.empty())
            std::abort();
        if (e.reply.find('\n') != std::string::npos)
            std::abort();
        std::string text;
        e.platform->mci->getErrorString(rc, text);
        if (text.find('\n') != std::string::npos)
            std::abort();
    }
    QCoreApplication::processEvents();
    // Keep the devices open for the next input.
    std::string mode;
    for (const char* alias : {"w", "m", "v", "c", "2"}) {
        if (e.platform->mci->sendString(std::string("status ") + alias + " mode", mode, nullptr) != 0) {
            e.platform->mci->sendString("close all", mode, nullptr);
            reopen();
            break;
        }
    }
    return 0;
}
