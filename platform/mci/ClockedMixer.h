// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/mci/AudioBackend.h"
#include "platform/mci/WaveFormat.h"

namespace tapelark {

// Mixes the sound of several streams into one take that keeps time: the
// clock says how many frames are due, and each track gives what it has
// queued and silence where it has nothing. Not thread-safe; the caller
// serialises.
class ClockedMixer {
public:
    // A track that queues more than `backlogFrames` loses its oldest sound,
    // so a stream that runs fast cannot fall ever further behind.
    ClockedMixer(const WaveFormat& format, std::uint64_t backlogFrames);

    int AddTrack();
    // The track's sound belongs at `frame` of the take: silence is queued up
    // to there. Only before its first sound.
    void StartAt(int track, std::uint64_t frame);
    // Null `data` is a hole in the stream: as long a silence.
    void Push(int track, const void* data, std::size_t bytes);
    // What is queued is still mixed; then the track goes.
    void Close(int track);
    bool Started(int track) const;

    // Mixes the next `frames` frames and hands them to `out`.
    void Emit(std::uint64_t frames, CaptureTarget& out);
    std::uint64_t Emitted() const { return emitted_; }

private:
    // A ring as large as the backlog: sound is copied in once and out once,
    // never moved about inside.
    struct Track {
        std::vector<unsigned char> ring;
        std::size_t head = 0, queued = 0;
        bool started = false;
        bool closed = false;
    };
    void Append(Track& track, const unsigned char* data, std::size_t bytes);
    // Hands the oldest `bytes` (at most what is queued) to `use` in at most
    // two pieces, and drops them.
    template <typename Use>
    void Take(Track& track, std::size_t bytes, Use use);

    WaveFormat format_;
    std::size_t backlogBytes_;
    unsigned char silence_;
    std::map<int, Track> tracks_;
    int nextTrack_ = 1;
    std::uint64_t emitted_ = 0;
    std::vector<std::int32_t> sum_;
    std::vector<unsigned char> out_;
};

}  // namespace tapelark
