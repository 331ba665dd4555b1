// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/mci/CaptureInput.h"
#include "platform/mci/MciErrors.h"
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
    // Whether sound reaches the recording now: false while the input is
    // quiet, a chosen program plays nothing, or the server is away.
    virtual bool Hears() const { return true; }
    // Of a playback: the bytes of it heard so far, behind what was handed to
    // the server by its buffer; none when the stream cannot tell.
    virtual std::optional<std::uint64_t> PlayedBytes() const { return std::nullopt; }
    // Of a playback: holds it where it is heard (true) or lets it go on
    // (false), keeping what the server holds. Whether it could; if not,
    // nothing changed.
    virtual bool Pause(bool /*paused*/) { return false; }
    // The server went away: the recording waits for it to come back.
    virtual bool Away() const { return false; }
    // What the clock says is recorded but is held back a while, so that
    // sound that arrives late still finds its place.
    virtual std::uint64_t HeldBackBytes() const { return 0; }
};

// Where sound comes from and goes to: by default the default source and the
// default sink.
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

    // Records from `input`.
    virtual std::unique_ptr<AudioStream> StartCaptureFrom(const WaveFormat& format, const CaptureInput& input,
                                                          CaptureTarget& target, std::uint32_t& error) {
        if (input.kind == CaptureInput::Kind::Default) return StartCapture(format, target, error);
        error = mcierr::kUnsupportedFunction;
        return nullptr;
    }
    // The names of the sources that can be recorded from, in the server's order.
    virtual std::uint32_t SourceNames(std::vector<std::string>& names) {
        names.clear();
        return mcierr::kUnsupportedFunction;
    }
};

}  // namespace tapelark
