// SPDX-License-Identifier: MIT
#include "platform/mci/WaveFileReader.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/mci/MciErrors.h"
#include "platform/mci/SpoolFile.h"

namespace tapelark {

namespace {

// Closes what it holds, on every way out.
struct OpenFile {
    int fd = -1;
    SNDFILE* sf = nullptr;
    ~OpenFile() {
        if (sf) sf_close(sf);
        if (fd >= 0) ::close(fd);
    }
};

// The whole frames of the file, in chunks; kFileRead when fewer come than the
// header promised (the file shrank meanwhile).
std::uint32_t CopyFrames(SNDFILE* sf, const SF_INFO& info, const WaveFormat& f, SpoolFile& spool) {
    constexpr sf_count_t kChunk = 16384;
    std::vector<short> samples(static_cast<std::size_t>(kChunk * f.channels));
    for (sf_count_t left = info.frames; left > 0;) {
        const sf_count_t want = std::min(left, kChunk);
        // Samples of 16 bits come in the machine's order whatever the file's;
        // 8-bit ones have no order and go as they are.
        sf_count_t got = f.bitsPerSample == 16
                             ? sf_readf_short(sf, samples.data(), want)
                             : sf_read_raw(sf, samples.data(), want * f.blockAlign) / f.blockAlign;
        if (got <= 0) return mcierr::kFileRead;
        if (int error = spool.Append(samples.data(), static_cast<std::size_t>(got) * f.blockAlign))
            return mcierr::FromSpoolErrno(error);
        left -= got;
    }
    return 0;
}

}  // namespace

std::uint32_t ReadWaveFileInto(const std::string& path, WaveFormat& format, SpoolFile& spool) {
    if (path.find('\0') != std::string::npos) return mcierr::kNulInPath;
    OpenFile file;
    // Not blocking: opening a FIFO must not wait for a writer.
    file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0) return mcierr::FromReadErrno(errno);
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) return mcierr::FromReadErrno(errno);
    if (S_ISDIR(st.st_mode)) return mcierr::kIsAFolder;
    if (!S_ISREG(st.st_mode)) return mcierr::kNotARegularFile;
    SF_INFO info{};
    file.sf = sf_open_fd(file.fd, SFM_READ, &info, SF_FALSE);
    if (!file.sf) return mcierr::kInvalidFile;
    const int major = info.format & SF_FORMAT_TYPEMASK, minor = info.format & SF_FORMAT_SUBMASK;
    const bool wave = major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
    if (!wave || (minor != SF_FORMAT_PCM_U8 && minor != SF_FORMAT_PCM_16)) return mcierr::kInvalidFile;
    WaveFormat f;
    f.channels = static_cast<std::uint16_t>(info.channels);
    f.bitsPerSample = minor == SF_FORMAT_PCM_U8 ? 8 : 16;
    f.samplesPerSec = static_cast<std::uint32_t>(info.samplerate);
    f.blockAlign = static_cast<std::uint16_t>(f.channels * f.bitsPerSample / 8);
    f.bytesPerSec = f.samplesPerSec * f.blockAlign;
    if (CheckWaveFormat(f) != 0) return mcierr::kInvalidFile;
    if (std::uint32_t code = spool.Create()) return code;
    if (std::uint32_t code = CopyFrames(file.sf, info, f, spool)) return code;
    format = f;
    return 0;
}

}  // namespace tapelark
