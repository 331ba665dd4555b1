// SPDX-License-Identifier: MIT
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/mci/AudioBackend.h"

namespace tapelark {

// Stands in for the sound server: the test delivers recorded bytes and pulls
// played ones on its own thread, and can make streams fail to start or break.
class FakeAudioBackend final : public AudioBackend {
public:
    std::uint32_t captureStartError = 0;
    std::uint32_t playbackStartError = 0;
    bool playbackPauses = true;  // else a pause has to end the stream
    int captureStarts = 0;
    WaveFormat lastFormat;
    CaptureTarget* capture = nullptr;    // while a capture stream lives
    PlaybackSource* playback = nullptr;  // while a playback stream lives

    std::unique_ptr<AudioStream> StartCapture(const WaveFormat& format, CaptureTarget& target,
                                              std::uint32_t& error) override {
        lastFormat = format;
        if ((error = captureStartError) != 0) return nullptr;
        ++captureStarts;
        return std::make_unique<Stream<CaptureTarget>>(capture = &target);
    }

    std::unique_ptr<AudioStream> StartPlayback(const WaveFormat& format, PlaybackSource& source,
                                               std::uint32_t& error) override {
        lastFormat = format;
        if ((error = playbackStartError) != 0) return nullptr;
        return std::make_unique<Stream<PlaybackSource>>(playback = &source, playbackPauses);
    }

    // Delivers `bytes` of a known pattern, at most 4 MiB at a time: byte i of
    // the whole recording is Pattern(i).
    void Record(std::size_t bytes) {
        for (std::size_t piece; bytes > 0 && capture; bytes -= piece) {
            piece = std::min<std::size_t>(bytes, 4u << 20);
            const std::vector<unsigned char> data = Pattern(delivered_, delivered_ + piece);
            delivered_ += piece;
            capture->Captured(data.data(), data.size());
        }
    }
    static unsigned char Pattern(std::uint64_t i) { return static_cast<unsigned char>((i * 7 + i / 251) & 0xFF); }
    static std::vector<unsigned char> Pattern(std::uint64_t from, std::uint64_t to) {
        std::vector<unsigned char> bytes;
        for (std::uint64_t i = from; i < to; ++i) bytes.push_back(Pattern(i));
        return bytes;
    }

    // Pulls everything the device plays, in chunks as a server would, then ends it.
    std::vector<unsigned char> PlayOut(std::size_t chunk = 4096) {
        std::vector<unsigned char> played;
        std::vector<unsigned char> buffer(chunk);
        while (std::size_t n = playback->Fill(buffer.data(), buffer.size()))
            played.insert(played.end(), buffer.begin(), buffer.begin() + static_cast<long>(n));
        playback->PlaybackEnded(0);
        return played;
    }

private:
    // Clears the test's pointer when the device ends the stream.
    template <class Target>
    struct Stream final : AudioStream {
        explicit Stream(Target*& slot, bool pauses = false) : slot_(slot), pauses_(pauses) {}
        ~Stream() override { slot_ = nullptr; }
        bool Pause(bool) override { return pauses_; }
        Target*& slot_;
        bool pauses_;
    };
    std::uint64_t delivered_ = 0;
};

}  // namespace tapelark
