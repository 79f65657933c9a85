#include "platform/mci/waveaudio/AudioFile.h"

#include "platform/mci/MciErrors.h"
#include "platform/mci/waveaudio/PcmWavFile.h"
#include "platform/mci/waveaudio/WaveDecoder.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace kb::mci::wave {

AudioFile::AudioFile() = default;
AudioFile::~AudioFile() = default;

uint32_t AudioFile::open(const std::string& path, bool direct)
{
    std::error_code ec;
    const std::filesystem::path fsPath(path);
    if (path.empty() || !std::filesystem::exists(fsPath, ec))
        return MCIERR_FILE_NOT_FOUND;
    if (std::filesystem::is_directory(fsPath, ec))
        return MCIERR_INVALID_FILE;
    if (std::FILE* f = std::fopen(path.c_str(), "rb"))
        std::fclose(f);
    else
        return errno == ENOENT ? MCIERR_FILE_NOT_FOUND : MCIERR_FILE_READ;

    if (direct) {
        auto pcm = std::make_unique<PcmWavFile>();
        switch (pcm->open(path)) {
        case PcmWavFile::Opened::Yes:
            info_ = pcm->info();
            source_ = std::move(pcm);
            return 0;
        case PcmWavFile::Opened::Damaged:
            return MCIERR_INVALID_FILE;
        case PcmWavFile::Opened::NotPlainPcm:
            break;
        }
    }
    uint32_t error = 0;
    source_ = openDecoded(path, error);
    if (!source_)
        return error;
    info_ = source_->info();
    return 0;
}

bool AudioFile::seek(int64_t sample) { return source_ && source_->seek(sample); }

AudioFile::Step AudioFile::next(int64_t end, std::vector<int16_t>& out)
{
    return source_ ? source_->next(end, out) : Step::Error;
}

} // namespace kb::mci::wave
