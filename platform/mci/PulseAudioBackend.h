// SPDX-License-Identifier: MIT
#pragma once
#include <memory>
#include <mutex>

#include "platform/mci/AudioBackend.h"

namespace tapelark {

class PulseConnection;

// Records from the default source (or the input chosen) and plays to the
// default sink of the PulseAudio server that the environment names
// (PULSE_SERVER, the user's session). Each capture has a connection of its
// own that rides out the server going away; playback and the list of
// sources share one, made on first use and again after the server went away.
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

private:
    std::shared_ptr<PulseConnection> Connect(std::uint32_t& error);

    std::mutex mutex_;
    std::shared_ptr<PulseConnection> connection_;
};

}  // namespace tapelark
