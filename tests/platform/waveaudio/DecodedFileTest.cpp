#include "platform/mci/waveaudio/AudioFile.h"
#include "tests/platform/waveaudio/TestMedia.h"
#include "tests/support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <filesystem>

using namespace kb::mci::wave;

namespace {

// Bytes this process has read from files so far.
int64_t bytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

TEST(DecodedFile, APieceEndsWhereAskedWithoutReadingTheRestOfTheFile)
{
    if (!kbtest::haveMp3Encoder())
        GTEST_SKIP() << "this FFmpeg has no MP3 encoder";
    kbtest::TempDir dir;
    const auto media = dir.fileUtf8("long.mp3");
    ASSERT_TRUE(kbtest::writeSineMp3(media, {.samples = 44100 * 30}));
    const auto size = static_cast<int64_t>(std::filesystem::file_size(media));

    AudioFile file;
    ASSERT_EQ(file.open(media), 0u);
    ASSERT_TRUE(file.seek(0));
    const int64_t before = bytesRead();
    ASSERT_GE(before, 0);
    std::vector<int16_t> out;
    Step step = Step::Data;
    while (step == Step::Data)
        step = file.next(44100 / 2, out);
    EXPECT_EQ(step, Step::End);
    EXPECT_EQ(out.size(), 44100u);
    EXPECT_LT(bytesRead() - before, size / 4);
    EXPECT_EQ(file.next(44100 / 2, out), Step::End);
}

} // namespace
