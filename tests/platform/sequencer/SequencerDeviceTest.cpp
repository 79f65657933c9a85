#include "platform/audio/AudioEngine.h"
#include "platform/mci/sequencer/MidiRenderer.h"
#include "platform/mci/sequencer/SequencerDevice.h"
#include "tests/platform/sequencer/MidiWriter.h"
#include "tests/support/EndRecorder.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <cmath>

using namespace kb::mci;
using kb::audio::SinkChoice;

namespace {

class SequencerTest : public ::testing::Test {
protected:
    void start(SinkChoice sink)
    {
        engine = kb::audio::AudioEngine::create(sink);
        ASSERT_TRUE(engine);
        device = sequencerDeviceType().create({engine.get(), nullptr, &events});
        ASSERT_TRUE(kbtest::writeFile(song, kbtest::fourSecondSong()));
        ASSERT_EQ(device->open({song, false}), 0u);
    }
    std::string status(StatusItem item)
    {
        std::string reply;
        EXPECT_EQ(device->status({item, std::nullopt}, reply), 0u);
        return reply;
    }
    void setFormat(TimeFormat f) { ASSERT_EQ(device->set({f, std::nullopt}), 0u); }
    bool waitForMode(const std::string& mode, int ms)
    {
        for (int waited = 0; waited < ms; waited += 5) {
            if (status(StatusItem::Mode) == mode)
                return true;
            QThread::msleep(5);
        }
        return false;
    }

    kbtest::TempDir dir;
    std::string song = dir.fileUtf8("song.mid");
    kbtest::EndRecorder events;
    std::unique_ptr<kb::audio::AudioEngine> engine;
    std::unique_ptr<Device> device;
};

SinkChoice nullSink(double speed) { return {SinkChoice::Kind::Null, {}, speed}; }

TEST_F(SequencerTest, LengthAndPositionInEveryTimeFormat)
{
    start(nullSink(1));
    EXPECT_EQ(status(StatusItem::TimeFormat), "milliseconds");
    EXPECT_EQ(status(StatusItem::Length), "4000");
    EXPECT_EQ(status(StatusItem::Position), "0");
    EXPECT_EQ(status(StatusItem::Mode), "stopped");
    EXPECT_EQ(status(StatusItem::CurrentTrack), "1");
    EXPECT_EQ(status(StatusItem::NumberOfTracks), "1");
    EXPECT_EQ(status(StatusItem::MediaPresent), "true");

    ASSERT_EQ(device->seek({SeekRequest::Kind::To, 2541}), 0u);
    EXPECT_EQ(status(StatusItem::Position), "2541");
    EXPECT_EQ(status(StatusItem::Mode), "stopped");

    setFormat(TimeFormat::Smpte24);
    EXPECT_EQ(status(StatusItem::TimeFormat), "smpte 24");
    const std::string pos = status(StatusItem::Position);
    ASSERT_EQ(pos.size(), 11u);
    const char expected[] = "00:00:02:12"; // 541 ms at 24 fps is frame 12
    for (size_t i = 0; i < pos.size(); ++i)
        EXPECT_EQ(pos[i], expected[i]) << "character " << i;
    EXPECT_EQ(pos.substr(3, 5), "00:02"); // what the player's read-out shows
    EXPECT_EQ(status(StatusItem::Length), "00:00:04:00");

    setFormat(TimeFormat::Smpte25);
    EXPECT_EQ(status(StatusItem::Position), "00:00:02:13");
    setFormat(TimeFormat::Smpte30Drop);
    EXPECT_EQ(status(StatusItem::TimeFormat), "smpte 30 drop");
    EXPECT_EQ(status(StatusItem::Position), "00:00:02:16");

    // Seeks are read in the current format; a frame number reads back as itself.
    setFormat(TimeFormat::Smpte24);
    ASSERT_EQ(device->seek({SeekRequest::Kind::To, packFields(0, 0, 3, 1)}), 0u);
    EXPECT_EQ(status(StatusItem::Position), "00:00:03:01");

    // Song pointer: sixteenth notes; sixteenth 12 is tick 1440, 1 s + 480 ticks at 60 bpm.
    setFormat(TimeFormat::SongPointer);
    ASSERT_EQ(device->seek({SeekRequest::Kind::To, 12}), 0u);
    setFormat(TimeFormat::Milliseconds);
    EXPECT_EQ(status(StatusItem::Position), "2000");
    setFormat(TimeFormat::SongPointer);
    EXPECT_EQ(status(StatusItem::Position), "12");
    EXPECT_EQ(status(StatusItem::Length), "20");
    setFormat(TimeFormat::Milliseconds);

    EXPECT_EQ(device->set({TimeFormat::Frames, std::nullopt}), MCIERR_BAD_TIME_FORMAT);
    EXPECT_EQ(device->set({TimeFormat::Bytes, std::nullopt}), MCIERR_BAD_TIME_FORMAT);
    EXPECT_EQ(status(StatusItem::TimeFormat), "milliseconds");
}

TEST_F(SequencerTest, OutOfRangeLeavesThePositionAlone)
{
    start(nullSink(1));
    ASSERT_EQ(device->seek({SeekRequest::Kind::To, 1200}), 0u);
    EXPECT_EQ(device->seek({SeekRequest::Kind::To, 4001}), MCIERR_OUTOFRANGE);
    EXPECT_EQ(device->play({4001, std::nullopt}, 1), MCIERR_OUTOFRANGE);
    EXPECT_EQ(device->play({3000, 2000}, 2), MCIERR_OUTOFRANGE);
    EXPECT_EQ(status(StatusItem::Position), "1200");
    EXPECT_EQ(status(StatusItem::Mode), "stopped");
    ASSERT_EQ(device->seek({SeekRequest::Kind::End, 0}), 0u);
    EXPECT_EQ(status(StatusItem::Position), "4000");
    ASSERT_EQ(device->seek({SeekRequest::Kind::Start, 0}), 0u);
    EXPECT_EQ(status(StatusItem::Position), "0");
    EXPECT_TRUE(events.ends().empty());
}

TEST_F(SequencerTest, PauseResumeStopAndSeekWhilePlaying)
{
    start(nullSink(4));
    ASSERT_EQ(device->play({}, 7), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "playing");
    QThread::msleep(100);
    ASSERT_EQ(device->pause(), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "paused");
    const std::string held = status(StatusItem::Position);
    QThread::msleep(60);
    EXPECT_EQ(status(StatusItem::Position), held);
    EXPECT_TRUE(events.ends().empty()); // pause keeps the play pending
    ASSERT_EQ(device->resume(), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "playing");

    ASSERT_EQ(device->seek({SeekRequest::Kind::To, 3000}), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "stopped");
    EXPECT_EQ(status(StatusItem::Position), "3000");
    ASSERT_EQ(events.ends().size(), 1u);
    EXPECT_EQ(events.ends()[0], std::make_pair(uint64_t{7}, PlayEnd::Stopped));

    ASSERT_EQ(device->play({}, 8), 0u);
    QThread::msleep(50);
    ASSERT_EQ(device->stop(), 0u);
    const int stoppedAt = std::stoi(status(StatusItem::Position));
    EXPECT_GE(stoppedAt, 3000);
    EXPECT_LT(stoppedAt, 4000);
    EXPECT_EQ(events.ends().size(), 2u);

    // Pause and resume of a stopped song succeed and change nothing.
    EXPECT_EQ(device->pause(), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "stopped");
    EXPECT_EQ(device->resume(), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "stopped");
    EXPECT_EQ(std::stoi(status(StatusItem::Position)), stoppedAt);
    EXPECT_EQ(events.ends().size(), 2u);
}

TEST_F(SequencerTest, PlaysToTheEndWithTheSongsSound)
{
    const std::string wav = dir.fileUtf8("capture.wav");
    start({SinkChoice::Kind::Capture, wav, 8});
    setFormat(TimeFormat::Smpte24);
    ASSERT_EQ(device->play({}, 42), 0u);
    ASSERT_TRUE(waitForMode("stopped", 10000));
    EXPECT_EQ(status(StatusItem::Position), status(StatusItem::Length));
    EXPECT_EQ(status(StatusItem::Position), "00:00:04:00");
    const auto list = events.ends();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], std::make_pair(uint64_t{42}, PlayEnd::Completed));

    device.reset();
    engine.reset(); // closes the capture file
    QFile f(QString::fromStdString(wav));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    ASSERT_GT(data.size(), 44);
    const auto* samples = reinterpret_cast<const int16_t*>(data.constData() + 44);
    const int64_t frames = (data.size() - 44) / 4;
    int64_t first = -1, last = -1;
    double energy = 0;
    for (int64_t i = 0; i < frames; ++i) {
        const int v = std::abs(samples[2 * i]) + std::abs(samples[2 * i + 1]);
        energy += double(samples[2 * i]) * samples[2 * i];
        if (v > 64) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    ASSERT_GE(first, 0) << "the capture is silent";
    EXPECT_GT(std::sqrt(energy / frames), 100.0);
    // The notes sound from the first tick to the last: 4 s of signal.
    EXPECT_NEAR(double(last - first) / kb::audio::kOutputRate, 4.0, 0.05);
}

TEST_F(SequencerTest, RmidFilesPlayLikeTheirSong)
{
    start(nullSink(1));
    const std::string rmi = dir.fileUtf8("song.rmi");
    ASSERT_TRUE(kbtest::writeFile(rmi, kbtest::rmid(kbtest::fourSecondSong())));
    ASSERT_EQ(device->open({rmi, false}), 0u);
    EXPECT_EQ(status(StatusItem::Length), "4000");
}

TEST_F(SequencerTest, OpenFailuresAreClearErrors)
{
    engine = kb::audio::AudioEngine::create(nullSink(1));
    device = sequencerDeviceType().create({engine.get(), nullptr, &events});
    EXPECT_EQ(device->open({dir.fileUtf8("missing.mid"), false}), MCIERR_FILE_NOT_FOUND);

    auto bytes = kbtest::fourSecondSong();
    bytes.resize(bytes.size() / 2);
    const std::string cut = dir.fileUtf8("cut.mid");
    ASSERT_TRUE(kbtest::writeFile(cut, bytes));
    EXPECT_EQ(device->open({cut, false}), MCIERR_INVALID_FILE);

    std::string reply;
    EXPECT_NE(device->status({StatusItem::Length, std::nullopt}, reply), 0u);
    EXPECT_NE(device->play({}, 1), 0u);

    ASSERT_TRUE(kbtest::writeFile(song, kbtest::fourSecondSong()));
    auto noFont = makeSequencerDevice({engine.get(), nullptr, &events}, dir.fileUtf8("none.sf2"));
    EXPECT_EQ(noFont->open({song, false}), MCIERR_SEQ_NOMIDIPRESENT);
    EXPECT_FALSE(kb::mci::seq::findSoundFont().empty());
}

} // namespace
