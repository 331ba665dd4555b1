#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/mci/WaveFormat.h"

namespace tapelark {

// Receives recorded bytes on the backend's own thread. Must not block on
// anything a command holds: the engine may be stopping the stream meanwhile.
class CaptureTarget {
public:
    virtual ~CaptureTarget() = default;
    virtual void Captured(const void* data, std::size_t bytes) = 0;
    // The stream broke off (server gone, source removed); `code` is an MCI error.
    virtual void CaptureFailed(std::uint32_t code) = 0;
};

// Hands out the bytes to play, on the backend's own thread.
class PlaybackSource {
public:
    virtual ~PlaybackSource() = default;
    // Copies up to `bytes` into `data`; returns how many, 0 at the end.
    virtual std::size_t Fill(void* data, std::size_t bytes) = 0;
    // Played out (code 0) or broke off (an MCI error). Called once.
    virtual void PlaybackEnded(std::uint32_t code) = 0;
};

// A running capture or playback. Destroying it stops it; once the destructor
// returns, no callback of its target or source runs any more.
class AudioStream {
public:
    virtual ~AudioStream() = default;
};

// Where sound comes from and goes to: the default source and the default sink.
class AudioBackend {
public:
    virtual ~AudioBackend() = default;
    // Returns the running stream, or null with `error` set to an MCI error code.
    // Both return once the stream runs or has failed; neither waits for audio.
    virtual std::unique_ptr<AudioStream> StartCapture(const WaveFormat& format,
                                                      CaptureTarget& target,
                                                      std::uint32_t& error) = 0;
    virtual std::unique_ptr<AudioStream> StartPlayback(const WaveFormat& format,
                                                       PlaybackSource& source,
                                                       std::uint32_t& error) = 0;
};

}  // namespace tapelark
