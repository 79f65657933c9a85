// The WAV/MP3 and video open paths on hostile in-memory files: open, read a little from the
// start and from the middle, as the devices do on open, play and seek.
#include "platform/mci/avivideo/MediaFile.h"
#include "platform/mci/waveaudio/AudioFile.h"
#include "platform/mci/wavedecode/FfmpegWaveDecoder.h"

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

namespace {

// The input as a file that lives in memory only.
class MemoryFile {
public:
    MemoryFile(const uint8_t* data, size_t size) : fd_(::memfd_create("fuzz-media", MFD_CLOEXEC))
    {
        size_t done = 0;
        while (fd_ >= 0 && done < size) {
            const ssize_t n = ::write(fd_, data + done, size - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        ok_ = fd_ >= 0 && done == size;
    }
    ~MemoryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    bool ok() const { return ok_; }
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_;
    bool ok_ = false;
};

void readSound(const std::string& path)
{
    kb::mci::wave::AudioFile file;
    if (file.open(path) != 0)
        return;
    std::vector<int16_t> out;
    const int64_t samples = file.info().samples;
    for (const int64_t from : {int64_t{0}, samples / 2}) {
        if (!file.seek(from))
            continue;
        for (int i = 0; i < 4 && out.size() < 1 << 20; ++i) {
            if (file.next(std::min(samples, from + 4096), out) != kb::mci::wave::Step::Data)
                break;
        }
    }
}

void readVideo(const std::string& path)
{
    kb::mci::avi::MediaFile file;
    if (file.open(path, 44100) != kb::mci::avi::MediaFile::OpenResult::Ok)
        return;
    std::deque<kb::mci::avi::VideoFrame> video;
    std::deque<kb::mci::avi::AudioChunk> audio;
    for (const int64_t ms : {int64_t{0}, file.lengthMs() / 2}) {
        file.seek(ms);
        for (int i = 0; i < 8 && file.step(video, audio); ++i) {
        }
        video.clear();
        audio.clear();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    av_log_set_level(AV_LOG_QUIET);
    kb::mci::wave::useBuiltinWaveDecoder(kb::mci::wave::ffmpegWaveDecoder());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 512 * 1024)
        return 0;
    const MemoryFile file(data, size);
    if (!file.ok())
        return 0;
    readSound(file.path());
    readVideo(file.path());
    return 0;
}
