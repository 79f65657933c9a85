#pragma once

#include "platform/audio/AudioEngine.h"
#include "platform/cdrom/DriveTable.h"
#include "platform/cdrom/VirtualDriveFile.h"
#include "platform/mci/cdaudio/CdAudioDevice.h"
#include "tests/support/EndRecorder.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace kbtest {

// A virtual drive E: holding a generated image, and a cdaudio device over it.
class CdFixture : public ::testing::Test {
protected:

    void insertImage(const kb::demodisc::DiscLayout& layout, const std::string& drive = "E:")
    {
        const QString cue = dir_.file(QString::fromStdString(drive).left(1) + ".cue");
        ASSERT_TRUE(kb::demodisc::writeCueBin(cue, layout));
        kb::cdrom::VirtualDriveFile file;
        auto drives = file.read();
        std::erase_if(drives, [&](const auto& d) { return d.name == drive; });
        drives.push_back({drive, cue.toStdString(), false, {}});
        ASSERT_TRUE(file.write(drives));
    }

    std::unique_ptr<kb::mci::Device> openDevice(kb::audio::AudioEngine* audio, const std::string& element = "E:")
    {
        auto device = kb::mci::cdAudioDeviceType().create({audio, table_.get(), &events_});
        kb::mci::OpenRequest r;
        r.element = element;
        EXPECT_EQ(device->open(r), 0u);
        return device;
    }

    std::string status(kb::mci::Device& d, kb::mci::StatusItem item, std::optional<uint32_t> track = {})
    {
        std::string reply;
        kb::mci::StatusRequest r;
        r.item = item;
        r.track = track;
        const uint32_t rc = d.status(r, reply);
        return rc ? "Error:" + std::to_string(rc) : reply;
    }

    void setFormat(kb::mci::Device& d, kb::mci::TimeFormat f)
    {
        kb::mci::SetRequest r;
        r.timeFormat = f;
        ASSERT_EQ(d.set(r), 0u);
    }

    // Before the table exists, so that drives left by an earlier test raise no events here.
    bool noDrives_ = kb::cdrom::VirtualDriveFile().write({});
    TempDir dir_;
    std::unique_ptr<kb::cdrom::DriveTable> table_ = kb::cdrom::makeSystemDriveTable();
    EndRecorder events_;
};

// Tracks of the given lengths in sectors, each a distinct signal.
inline kb::demodisc::DiscLayout discOf(const std::vector<int>& sectors)
{
    kb::demodisc::DiscLayout s;
    int seed = 0;
    for (int n : sectors) {
        kb::demodisc::ImageTrack t;
        t.pcm = kb::demodisc::testSignal(n, seed++);
        s.tracks.push_back(std::move(t));
    }
    return s;
}

} // namespace kbtest
