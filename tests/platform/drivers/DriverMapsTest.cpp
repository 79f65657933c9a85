#include "tests/support/ChildProcess.h"
#include "tests/support/Eventually.h"
#include "tests/support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// mcish fed one command at a time through a FIFO, so that its mapped libraries can be read
// between commands.
class McishChild {
public:
    bool start()
    {
        const QByteArray in = QFile::encodeName(dir_.file("in"));
        out_ = dir_.file("out");
        if (::mkfifo(in.constData(), 0600) != 0)
            return false;
        // Read-write, so that neither this open nor the child's blocks on the other end.
        fd_ = ::open(in.constData(), O_RDWR | O_CLOEXEC);
        return fd_ >= 0
               && child_.start(kbtest::binaryDir() + "/bin/mcish", {}, kbtest::ChildEnv{{{"KOBALTUNE_AUDIO", "null"}}, {}}, {},
                               kbtest::ChildStreams{in, QFile::encodeName(out_), {}});
    }
    ~McishChild()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    // Sends a command and waits for its result line.
    bool send(const std::string& command)
    {
        const std::string line = command + "\n";
        if (::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            return false;
        ++answers_;
        return kbtest::eventually([this] {
            QFile f(out_);
            return f.open(QIODevice::ReadOnly) && f.readAll().count('\n') >= answers_;
        });
    }

    std::string maps() const
    {
        QFile f(QStringLiteral("/proc/%1/maps").arg(child_.pid()));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

private:
    kbtest::TempDir dir_;
    QString out_;
    int fd_ = -1;
    qsizetype answers_ = 0;
    kbtest::Child child_;
};

bool has(const std::string& maps, const char* library) { return maps.find(library) != std::string::npos; }

TEST(DriverLoading, HeavyLibrariesAreMappedOnlyOnceTheirDeviceTypeIsOpened)
{
    McishChild mcish;
    ASSERT_TRUE(mcish.start());
    ASSERT_TRUE(mcish.send("status nothing mode"));
    std::string maps = mcish.maps();
    ASSERT_FALSE(maps.empty());
    EXPECT_FALSE(has(maps, "libavformat"));
    EXPECT_FALSE(has(maps, "libavcodec"));
    EXPECT_FALSE(has(maps, "libfluidsynth"));
    EXPECT_FALSE(has(maps, "libcdio"));
    EXPECT_FALSE(has(maps, "libSDL2"));
    EXPECT_FALSE(has(maps, "/kobaltune/sequencer.so"));

    ASSERT_TRUE(mcish.send("open sequencer alias m"));
    maps = mcish.maps();
    EXPECT_TRUE(has(maps, "/kobaltune/sequencer.so"));
    EXPECT_TRUE(has(maps, "libfluidsynth"));
    EXPECT_FALSE(has(maps, "libavformat"));
    EXPECT_FALSE(has(maps, "libcdio"));

    // A disc needs libcdio; FFmpeg comes only for a sheet that names audio files.
    ASSERT_TRUE(mcish.send("open cdaudio alias c"));
    maps = mcish.maps();
    EXPECT_TRUE(has(maps, "libcdio"));
    EXPECT_FALSE(has(maps, "libavformat"));

    ASSERT_TRUE(mcish.send("open avivideo alias v"));
    EXPECT_TRUE(has(mcish.maps(), "libavformat"));
}

} // namespace
