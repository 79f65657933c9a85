#include "tests/platform/cdaudio/CdFixture.h"
#include "tests/support/DriveEvents.h"
#include "tests/support/Eventually.h"

#include <QFile>

using namespace kb;
using mci::StatusItem;

namespace {

class CdPlay : public kbtest::CdFixture {
protected:
    std::unique_ptr<audio::AudioEngine> fastEngine(const QString& capture = {})
    {
        audio::SinkChoice c;
        c.kind = capture.isEmpty() ? audio::SinkChoice::Kind::Null : audio::SinkChoice::Kind::Capture;
        c.capturePath = capture.toStdString();
        c.speed = 40;
        return audio::AudioEngine::create(c);
    }
};

} // namespace

TEST_F(CdPlay, PlaysToTheEndOfTheDiscAndStopsOnTheLastTrack)
{
    insertImage(kbtest::discOf({150, 120, 90}));
    auto engine = fastEngine();
    auto d = openDevice(engine.get());
    mci::PlayRequest from2;
    from2.from = mci::packFields(0, 4, 0); // 00:04:00 = start of track 2
    ASSERT_EQ(d->play(from2, 7), 0u);
    EXPECT_EQ(status(*d, StatusItem::Mode), "playing");
    ASSERT_TRUE(kbtest::eventually([&] { return status(*d, StatusItem::Mode) == "stopped"; }));
    EXPECT_EQ(status(*d, StatusItem::CurrentTrack), "3");
    const std::string position = status(*d, StatusItem::Position);
    const std::string length = status(*d, StatusItem::Length);
    EXPECT_EQ(position, "00:06:59"); // lead-out 510 less one frame
    EXPECT_EQ(length, "00:04:59");
    EXPECT_GE(position, length); // the end-of-disc test compares the texts
    mci::SetRequest tmsf;
    tmsf.timeFormat = mci::TimeFormat::Tmsf;
    d->set(tmsf);
    EXPECT_EQ(status(*d, StatusItem::Position), "03:00:01:14"); // = length of track 3
    ASSERT_EQ(events_.ends().size(), 1u);
    EXPECT_EQ(events_.ends()[0], std::make_pair(uint64_t{7}, mci::PlayEnd::Completed));
}

TEST_F(CdPlay, PlayFromToStopsThereAndBadRangesChangeNothing)
{
    insertImage(kbtest::discOf({150, 150}));
    auto engine = fastEngine();
    auto d = openDevice(engine.get());
    mci::PlayRequest bad;
    bad.from = mci::packFields(0, 3, 0);
    bad.to = mci::packFields(0, 2, 10);
    EXPECT_EQ(d->play(bad, 1), mci::MCIERR_OUTOFRANGE);
    bad.from = mci::packFields(0, 1, 0);
    bad.to.reset();
    EXPECT_EQ(d->play(bad, 2), mci::MCIERR_OUTOFRANGE);
    EXPECT_EQ(status(*d, StatusItem::Mode), "stopped");
    EXPECT_EQ(status(*d, StatusItem::Position), "00:02:00");

    mci::PlayRequest part;
    part.from = mci::packFields(0, 2, 30);
    part.to = mci::packFields(0, 3, 20);
    ASSERT_EQ(d->play(part, 3), 0u);
    ASSERT_TRUE(kbtest::eventually([&] { return status(*d, StatusItem::Mode) == "stopped"; }));
    EXPECT_EQ(status(*d, StatusItem::Position), "00:03:20");

    // A new play ends the running one as stopped; pause and resume keep the play.
    mci::PlayRequest all;
    all.from = mci::packFields(0, 2, 0);
    ASSERT_EQ(d->play(all, 4), 0u);
    ASSERT_EQ(d->pause(), 0u);
    EXPECT_EQ(status(*d, StatusItem::Mode), "paused");
    ASSERT_EQ(d->resume(), 0u);
    EXPECT_EQ(status(*d, StatusItem::Mode), "playing");
    ASSERT_EQ(d->stop(), 0u);
    EXPECT_EQ(status(*d, StatusItem::Mode), "stopped");
    const auto ended = events_.ends();
    ASSERT_EQ(ended.size(), 2u);
    EXPECT_EQ(ended[1], std::make_pair(uint64_t{4}, mci::PlayEnd::Stopped));
}

TEST_F(CdPlay, DataTrackIsSkippedNeverPlayed)
{
    auto layout = kbtest::discOf({75});
    demodisc::ImageTrack data;
    data.data = true;
    data.dataSectors = 75;
    layout.tracks.insert(layout.tracks.begin(), data);
    insertImage(layout);
    auto d = openDevice(fastEngine().get());
    mci::PlayRequest inData;
    inData.from = mci::packFields(0, 2, 10);
    mci::SeekRequest seek;
    seek.to = *inData.from;
    ASSERT_EQ(d->seek(seek), 0u);
    EXPECT_EQ(status(*d, StatusItem::Position), "00:03:00"); // moved to track 2
    EXPECT_EQ(status(*d, StatusItem::CurrentTrack), "2");
}

TEST_F(CdPlay, CapturedSoundIsTheDiscAudio)
{
    const auto layout = kbtest::discOf({40, 35});
    insertImage(layout);
    const QString wav = dir_.file("out.wav");
    {
        auto engine = fastEngine(wav);
        auto d = openDevice(engine.get());
        ASSERT_EQ(d->play({}, 1), 0u);
        ASSERT_TRUE(kbtest::eventually([&] { return status(*d, StatusItem::Mode) == "stopped"; }));
        d->close();
    }
    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    std::vector<int16_t> expected;
    for (const auto& t : layout.tracks)
        expected.insert(expected.end(), t.pcm.begin(), t.pcm.end());
    const QByteArray want(reinterpret_cast<const char*>(expected.data()),
                          static_cast<qsizetype>(expected.size() * 2));
    // The sink may write silence before the signal starts: find the signal.
    const qsizetype at = bytes.indexOf(want.left(4096));
    ASSERT_GE(at, 44);
    EXPECT_EQ(bytes.mid(at, want.size()), want);
}

TEST_F(CdPlay, DoorOpenAndClosedTakeOutAndPutBackTheImage)
{
    kbtest::DriveEvents receiver;
    table_->addEventReceiver(&receiver);
    // The table reports changes of state it has seen: let it see the disc first.
    insertImage(kbtest::discOf({75, 75}));
    ASSERT_TRUE(kbtest::eventually([&] { return !receiver.seen.empty(); }));
    EXPECT_EQ(receiver.seen[0], std::make_pair(cdrom::kDeviceArrival, std::string("E:")));
    receiver.seen.clear();
    auto d = openDevice(nullptr);
    mci::SetRequest open;
    open.doorOpen = true;
    ASSERT_EQ(d->set(open), 0u);
    EXPECT_EQ(status(*d, StatusItem::Mode), "open");
    EXPECT_EQ(status(*d, StatusItem::MediaPresent), "false");
    ASSERT_TRUE(kbtest::eventually([&] { return receiver.seen.size() >= 1; }));
    ASSERT_EQ(receiver.seen.size(), size_t{1});
    EXPECT_EQ(receiver.seen[0], std::make_pair(cdrom::kDeviceRemoveComplete, std::string("E:")));

    mci::SetRequest closed;
    closed.doorOpen = false;
    ASSERT_EQ(d->set(closed), 0u);
    EXPECT_EQ(status(*d, StatusItem::MediaPresent), "true");
    EXPECT_EQ(status(*d, StatusItem::NumberOfTracks), "2");
    ASSERT_TRUE(kbtest::eventually([&] { return receiver.seen.size() >= 2; }));
    ASSERT_EQ(receiver.seen.size(), size_t{2});
    EXPECT_EQ(receiver.seen[1], std::make_pair(cdrom::kDeviceArrival, std::string("E:")));
    table_->removeEventReceiver(&receiver);
}
