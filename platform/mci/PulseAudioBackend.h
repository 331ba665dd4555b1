// SPDX-License-Identifier: MIT
#pragma once
#include <memory>
#include <mutex>

#include "platform/mci/AudioBackend.h"

namespace tapelark {

// Records from the default source (or the input chosen) and plays to the
// default sink of the PulseAudio server that the environment names
// (PULSE_SERVER, the user's session). Connects on first use and again after the server went away;
// audio moves on libpulse's threaded main loop.
class PulseAudioBackend final : public AudioBackend {
public:
    PulseAudioBackend();
    ~PulseAudioBackend() override;

    std::unique_ptr<AudioStream> StartCapture(const WaveFormat& format, CaptureTarget& target,
                                              std::uint32_t& error) override;
    std::unique_ptr<AudioStream> StartPlayback(const WaveFormat& format, PlaybackSource& source,
                                               std::uint32_t& error) override;
    std::unique_ptr<AudioStream> StartCaptureFrom(const WaveFormat& format, const CaptureInput& input,
                                                  CaptureTarget& target, std::uint32_t& error) override;
    std::uint32_t SourceNames(std::vector<std::string>& names) override;

    struct Connection;

private:
    std::shared_ptr<Connection> Connect(std::uint32_t& error);

    std::mutex mutex_;
    std::shared_ptr<Connection> connection_;
};

}  // namespace tapelark
