#include "platform/audio/AudioEngine.h"
#include "platform/mci/avivideo/AviVideoDevice.h"
#include "platform/mci/avivideo/FrameConverter.h"
#include "platform/mci/avivideo/MediaFile.h"
#include "platform/mci/avivideo/VideoSurface.h"
#include "tests/platform/avivideo/TestVideo.h"
#include "tests/support/EndRecorder.h"
#include "tests/support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>


using namespace kb::mci;
using kb::audio::SinkChoice;

namespace {

class AviVideoTest : public ::testing::Test {
protected:
    void start(double speed, const kbtest::VideoSpec& spec, const char* name = "clip.mpg")
    {
        device.reset(); // a device of an earlier start still holds a stream of the old engine
        engine = kb::audio::AudioEngine::create({SinkChoice::Kind::Null, {}, speed});
        device = aviVideoDeviceType().create({engine.get(), nullptr, &events});
        path = dir.fileUtf8(name);
        ASSERT_TRUE(kbtest::writeTestVideo(path, spec));
        ASSERT_EQ(device->open({path, false}), 0u);
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
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (status(StatusItem::Mode) == mode)
                return true;
            QTest::qWait(5);
        }
        return false;
    }
    // Shows the device's picture in a window of our own, as the player does.
    void attach(QWidget& host, int w, int h)
    {
        host.resize(w, h);
        host.show();
        ASSERT_EQ(device->window({static_cast<uint64_t>(host.winId()), std::nullopt}), 0u);
        ASSERT_EQ(device->put({true, std::array<int32_t, 4>{0, 0, w, h}}), 0u);
    }
    int shownFrame(QWidget& host, QRect area)
    {
        return kbtest::readFrameNumber(host.grab().toImage(), area);
    }

    struct Followed {
        int checked = 0;
        int highest = -1;
    };
    // Watches a playing clip as a viewer would: the picture painted now must be within a
    // frame of the clock read around that paint (clock in frames). Pictures outside
    // (first, last) are not judged: the first may still be on its way, the last is held.
    // A moment the UI thread did not run (the process or this thread held up by a busy
    // machine) proves nothing either way: the pictures queued meanwhile are shown late by
    // no fault of the device, so such samples are left out.
    Followed follow(QWidget& host, QRect area, int first, int last)
    {
        constexpr qint64 kFrameMs = 40, kPauseMs = 10;
        Followed seen;
        QElapsedTimer total, ui;
        total.start();
        ui.start();
        while (status(StatusItem::Mode) == "playing" && total.elapsed() < 10000) {
            QTest::qWait(kPauseMs);
            const qint64 away = ui.restart(); // beyond kPauseMs: the thread was held up
            QCoreApplication::processEvents();
            const int before = std::stoi(status(StatusItem::Position));
            const int shown = shownFrame(host, area);
            const int after = std::stoi(status(StatusItem::Position));
            const bool ran = away < kPauseMs + kFrameMs && ui.elapsed() < kFrameMs / 2;
            if (!ran || shown < 0 || before <= first || after >= last)
                continue;
            ++seen.checked;
            seen.highest = std::max(seen.highest, shown);
            EXPECT_GE(shown, before - 1) << "picture " << shown << " painted between positions " << before
                                         << " and " << after;
            EXPECT_LE(shown, after + 1) << "picture " << shown << " painted between positions " << before
                                        << " and " << after;
        }
        return seen;
    }

    kbtest::TempDir dir;
    std::string path;
    kbtest::EndRecorder events;
    std::unique_ptr<kb::audio::AudioEngine> engine;
    std::unique_ptr<Device> device;
};

TEST_F(AviVideoTest, LengthsAndPositionsInFramesAndMilliseconds)
{
    start(1, {"avi", 3, 25, 160, 120, true, false}, "clip.avi");
    EXPECT_EQ(status(StatusItem::TimeFormat), "frames");
    EXPECT_EQ(status(StatusItem::Length), "75");
    setFormat(TimeFormat::Milliseconds);
    EXPECT_EQ(status(StatusItem::Length), "3000");
    EXPECT_EQ(status(StatusItem::Position), "0");
    EXPECT_EQ(status(StatusItem::Mode), "stopped");
    EXPECT_EQ(status(StatusItem::CurrentTrack), "1");

    ASSERT_EQ(device->seek({SeekRequest::Kind::To, 1230}), 0u);
    EXPECT_EQ(status(StatusItem::Position), "1230");
    setFormat(TimeFormat::Frames);
    EXPECT_EQ(status(StatusItem::Position), "30");
    ASSERT_EQ(device->seek({SeekRequest::Kind::To, 41}), 0u);
    EXPECT_EQ(status(StatusItem::Position), "41");

    EXPECT_EQ(device->seek({SeekRequest::Kind::To, 76}), MCIERR_OUTOFRANGE);
    EXPECT_EQ(device->play({80, std::nullopt}, 1), MCIERR_OUTOFRANGE);
    EXPECT_EQ(device->play({50, 40}, 1), MCIERR_OUTOFRANGE);
    EXPECT_EQ(status(StatusItem::Position), "41");
    EXPECT_EQ(device->set({TimeFormat::Smpte24, std::nullopt}), MCIERR_BAD_TIME_FORMAT);
    EXPECT_EQ(status(StatusItem::TimeFormat), "frames");
    EXPECT_TRUE(events.ends().empty());
}

TEST_F(AviVideoTest, MpegWithSoundPlaysToTheEnd)
{
    start(6, {"mpeg", 2, 25, 160, 120, true, true});
    setFormat(TimeFormat::Milliseconds);
    const int length = std::stoi(status(StatusItem::Length));
    EXPECT_NEAR(length, 2000, 60);
    ASSERT_EQ(device->play({}, 9), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "playing");
    ASSERT_TRUE(waitForMode("stopped", 10000));
    EXPECT_EQ(status(StatusItem::Position), status(StatusItem::Length));
    setFormat(TimeFormat::Frames);
    EXPECT_EQ(status(StatusItem::Position), status(StatusItem::Length));
    const auto list = events.ends();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], std::make_pair(uint64_t{9}, PlayEnd::Completed));
}

TEST_F(AviVideoTest, PicturesFollowTheSoundClock)
{
    start(1, {"mpeg", 3, 25, 160, 120, true, true});
    QWidget host;
    attach(host, 320, 240);
    ASSERT_EQ(device->play({}, 1), 0u);
    const Followed seen = follow(host, QRect(0, 0, 320, 240), 0, 74);
    EXPECT_GT(seen.checked, 20);
    EXPECT_GT(seen.highest, 60);
}

TEST_F(AviVideoTest, PicturesWithoutSoundFollowARealTimeClock)
{
    start(1, {"avi", 2, 25, 160, 120, true, false}, "silent.avi");
    QWidget host;
    attach(host, 160, 120);
    ASSERT_EQ(device->play({25, std::nullopt}, 1), 0u);
    const Followed seen = follow(host, QRect(0, 0, 160, 120), 25, 49);
    EXPECT_GT(seen.checked, 10);
    EXPECT_EQ(status(StatusItem::Position), "50");
}

TEST_F(AviVideoTest, SeekShowsTheExactPictureLetterboxed)
{
    for (const char* name : {"clip.avi", "clip.mpg"}) {
        SCOPED_TRACE(name);
        start(1, {std::string(name).ends_with(".avi") ? "avi" : "mpeg", 3, 25, 160, 120, true, true}, name);
        QWidget host;
        attach(host, 400, 150); // wider than 4:3: bars left and right
        for (int target : {37, 5, 50, 70}) {
            ASSERT_EQ(device->seek({SeekRequest::Kind::To, static_cast<uint32_t>(target)}), 0u);
            int shown = -1;
            QElapsedTimer t;
            t.start();
            while (shown != target && t.elapsed() < 3000) {
                QTest::qWait(10);
                shown = shownFrame(host, QRect(100, 0, 200, 150));
            }
            EXPECT_EQ(shown, target);
            EXPECT_EQ(status(StatusItem::Position), std::to_string(target));
            EXPECT_EQ(status(StatusItem::Mode), "stopped");
        }
        const QImage image = host.grab().toImage();
        EXPECT_EQ(qGray(image.pixel(20, 75)), 0);
        EXPECT_EQ(qGray(image.pixel(380, 75)), 0);
    }
}

// Every frame of both containers, straight from the decoder: the picture timed at a frame's
// start must be that frame (the program stream of this clip mistimes pictures 48 to 50).
TEST(MediaFileSeek, EveryFrameLandsExactly)
{
    kbtest::TempDir dir;
    for (const char* format : {"avi", "mpeg"}) {
        SCOPED_TRACE(format);
        const std::string path = dir.fileUtf8(QStringLiteral("every.") + format);
        ASSERT_TRUE(kbtest::writeTestVideo(path, {format, 3, 25, 160, 120, true, true}));
        kb::mci::avi::MediaFile media;
        ASSERT_EQ(media.open(path, 44100), kb::mci::avi::MediaFile::OpenResult::Ok);
        for (int n = 0; n < 75; ++n) {
            const double ms = n * 40.0;
            media.seek(static_cast<int64_t>(ms));
            std::deque<kb::mci::avi::VideoFrame> video;
            std::deque<kb::mci::avi::AudioChunk> sound;
            while ((video.empty() || video.back().ms <= ms + 0.5) && media.step(video, sound)) {
            }
            int shown = -1;
            for (const auto& v : video)
                if (v.ms <= ms + 0.5)
                    shown = kbtest::readFrameNumber(*v.frame);
            EXPECT_EQ(shown, n);
        }
    }
}

TEST_F(AviVideoTest, PauseResumeAndStop)
{
    start(2, {"mpeg", 3, 25, 160, 120, true, true});
    setFormat(TimeFormat::Milliseconds);
    ASSERT_EQ(device->play({}, 3), 0u);
    QTest::qWait(200);
    ASSERT_EQ(device->pause(), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "paused");
    const std::string held = status(StatusItem::Position);
    QTest::qWait(50);
    EXPECT_EQ(status(StatusItem::Position), held);
    ASSERT_EQ(device->resume(), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "playing");
    QTest::qWait(50);
    ASSERT_EQ(device->stop(), 0u);
    EXPECT_EQ(status(StatusItem::Mode), "stopped");
    const int at = std::stoi(status(StatusItem::Position));
    EXPECT_GE(at, std::stoi(held));
    EXPECT_LT(at, 3000);
    ASSERT_EQ(events.ends().size(), 1u);
    EXPECT_EQ(events.ends()[0].second, PlayEnd::Stopped);
}

TEST_F(AviVideoTest, ABlockedUiThreadFindsOnlyTheLatestPictureWaiting)
{
    start(4, {"mpeg", 3, 25, 160, 120, true, true});
    QWidget host;
    attach(host, 320, 240);
    QCoreApplication::processEvents();
    setFormat(TimeFormat::Frames);
    ASSERT_EQ(device->play({}, 1), 0u);
    // The UI thread handles no events for the whole play, as while a "wait" command runs.
    for (int i = 0; i < 2000 && status(StatusItem::Mode) == "playing"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(status(StatusItem::Mode), "stopped");

    // Every picture handed over while it was blocked would be a call waiting for it now.
    struct Calls : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            count += e->type() == QEvent::MetaCall;
            return false;
        }
    } calls;
    QCoreApplication::instance()->installEventFilter(&calls);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&calls);
    EXPECT_LE(calls.count, 3);
    EXPECT_GE(shownFrame(host, QRect(0, 0, 320, 240)), 70);
}

TEST_F(AviVideoTest, SoundOnlyFilesPlayAsSound)
{
    start(8, {"mp2", 2, 25, 160, 120, false, true}, "tone.mp2");
    std::string reply;
    ASSERT_EQ(device->capability(CapabilityItem::HasVideo, reply), 0u);
    EXPECT_EQ(reply, "false");
    setFormat(TimeFormat::Milliseconds);
    EXPECT_NEAR(std::stoi(status(StatusItem::Length)), 2000, 60);
    ASSERT_EQ(device->play({}, 5), 0u);
    ASSERT_TRUE(waitForMode("stopped", 10000));
    EXPECT_EQ(status(StatusItem::Position), status(StatusItem::Length));
}

TEST_F(AviVideoTest, BadFilesAreClearErrors)
{
    engine = kb::audio::AudioEngine::create({SinkChoice::Kind::Null, {}, 1});
    device = aviVideoDeviceType().create({engine.get(), nullptr, &events});
    EXPECT_EQ(device->open({dir.fileUtf8("missing.avi"), false}), MCIERR_FILE_NOT_FOUND);
    QFile junk(dir.file("junk.mpg"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_EQ(device->open({dir.fileUtf8("junk.mpg"), false}), MCIERR_INVALID_FILE);
    std::string reply;
    EXPECT_NE(device->status({StatusItem::Length, std::nullopt}, reply), 0u);
    EXPECT_NE(device->play({}, 1), 0u);
    EXPECT_EQ(device->window({uint64_t{1}, std::nullopt}), MCIERR_NONAPPLICABLE_FUNCTION);
}

TEST(FrameConverter, LetterboxKeepsTheAspect)
{
    using kb::mci::avi::letterbox;
    EXPECT_EQ(letterbox({160, 120}, {400, 150}), QRect(100, 0, 200, 150));
    EXPECT_EQ(letterbox({160, 120}, {320, 480}), QRect(0, 120, 320, 240));
    EXPECT_EQ(letterbox({160, 120}, {320, 240}), QRect(0, 0, 320, 240));
    EXPECT_TRUE(letterbox({160, 120}, {0, 0}).isEmpty());
}

} // namespace

namespace {

// The picture surfaces the device has made: inside `host`, or top-level windows of its own.
std::vector<kb::mci::avi::VideoSurface*> surfaces(QWidget* host)
{
    std::vector<kb::mci::avi::VideoSurface*> out;
    const QList<QWidget*> widgets = host ? host->findChildren<QWidget*>() : QApplication::topLevelWidgets();
    for (QWidget* w : widgets) {
        if (auto* s = dynamic_cast<kb::mci::avi::VideoSurface*>(w))
            out.push_back(s);
    }
    return out;
}

} // namespace

// A destination no window could be is refused; a huge one that could is drawn from a
// picture of screen size, not of gigabytes (30000 x 30000 once crashed the scaler).
TEST_F(AviVideoTest, DestinationsAreBoundedToWhatAWindowCanShow)
{
    start(1, {"avi", 1, 25, 160, 120, true, false}, "clip.avi");
    QWidget host;
    attach(host, 320, 240);
    for (std::array<int32_t, 4> bad : {std::array<int32_t, 4>{2147483000, 0, 1000, 10},
                                       {0, 2147483000, 10, 1000}, {0, 0, 40000, 10}, {0, 0, 10, 2147483647},
                                       {-40000, 0, 10, 10}, {0, 0, 0, 10}, {0, 0, 10, -5}})
        EXPECT_EQ(device->put({true, bad}), MCIERR_OUTOFRANGE) << bad[0] << " " << bad[1] << " " << bad[2];
    ASSERT_EQ(device->put({true, std::array<int32_t, 4>{0, 0, 30000, 30000}}), 0u);
    ASSERT_EQ(device->seek({SeekRequest::Kind::To, 10}), 0u);
    const auto placed = surfaces(&host);
    ASSERT_EQ(placed.size(), 1u);
    QElapsedTimer t;
    t.start();
    while (placed[0]->frame().isNull() && t.elapsed() < 5000)
        QTest::qWait(10);
    ASSERT_FALSE(placed[0]->frame().isNull());
    EXPECT_LE(placed[0]->frame().width(), 7680);
    EXPECT_LE(placed[0]->frame().height(), 4320);
}

// Handing the device one of its own windows keeps the picture where it is; it once deleted
// its own window and the picture with it, and then used them.
TEST_F(AviVideoTest, OwnWindowsAsTheTargetWindowChangeNothing)
{
    start(1, {"avi", 1, 25, 160, 120, true, false}, "clip.avi");
    ASSERT_EQ(device->seek({SeekRequest::Kind::To, 5}), 0u);
    QElapsedTimer t;
    t.start();
    while (surfaces(nullptr).empty() && t.elapsed() < 5000)
        QTest::qWait(10);
    const auto own = surfaces(nullptr);
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(device->window({static_cast<uint64_t>(own[0]->winId()), std::nullopt}), 0u);
    EXPECT_EQ(device->seek({SeekRequest::Kind::To, 7}), 0u);
    QTest::qWait(50);
    EXPECT_EQ(surfaces(nullptr).size(), 1u);

    QWidget host;
    attach(host, 320, 240);
    const auto placed = surfaces(&host);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(device->window({static_cast<uint64_t>(placed[0]->winId()), std::nullopt}), 0u);
    EXPECT_EQ(device->seek({SeekRequest::Kind::To, 9}), 0u);
    QTest::qWait(50);
    EXPECT_EQ(surfaces(&host).size(), 1u);
    EXPECT_EQ(device->window({0, std::nullopt}), 0u);
}
