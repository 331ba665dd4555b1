#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/mci/AudioBackend.h"
#include "platform/mci/CaptureInput.h"
#include "platform/mci/SpoolFile.h"
#include "platform/mci/WaveFormat.h"

namespace tapelark {

struct MciCommand;
class KeywordReader;

// One open waveaudio element: its format, its time format, the recording in
// a spool file, and the capture or playback stream that runs on the
// backend's thread. Commands come in serialised by the engine; the backend's
// callbacks touch only the spool and atomics, so they never wait on a command.
class WaveAudioDevice final : private CaptureTarget, private PlaybackSource {
public:
    explicit WaveAudioDevice(AudioBackend& backend);
    ~WaveAudioDevice() override;

    // Makes the empty element; 0 or an MCI error code.
    std::uint32_t Open();
    // set, status, record, stop, play and save.
    std::uint32_t Execute(const MciCommand& command, std::string& reply);
    // What recordings hear until "set NAME input" says otherwise.
    void ChooseInput(const CaptureInput& input, EmulatorLocation emulatorLocation);

private:
    enum class TimeFormat { Milliseconds, Bytes, Samples };

    std::uint32_t Set(KeywordReader& words);
    std::uint32_t Status(KeywordReader& words, std::string& reply);
    std::uint32_t Record(KeywordReader& words);
    std::uint32_t Stop(KeywordReader& words);
    std::uint32_t Play(KeywordReader& words);
    std::uint32_t Save(std::string path);

    // The input: "set NAME input ...", "status NAME input", and starting a
    // capture from it.
    static bool IsInputSetting(const MciCommand& command);
    std::uint32_t SetInput(const MciCommand& command);
    std::string InputStatus() const;
    std::unique_ptr<AudioStream> StartInputCapture(std::uint32_t& error);

    std::uint32_t StopCapture();
    void StopPlayback();
    void ReapPlayback();
    bool Playing() const;
    std::string Mode() const;
    std::uint64_t LengthBytes() const;
    std::uint64_t FromBytes(std::uint64_t bytes) const;
    std::uint32_t ToBytes(std::uint64_t value, std::uint64_t& bytes) const;

    void Captured(const void* data, std::size_t bytes) override;
    void CaptureFailed(std::uint32_t code) override;
    std::size_t Fill(void* data, std::size_t bytes) override;
    void PlaybackEnded(std::uint32_t code) override;

    AudioBackend& backend_;
    WaveFormat format_;
    TimeFormat timeFormat_ = TimeFormat::Milliseconds;
    SpoolFile spool_;
    CaptureInput input_;
    EmulatorLocation emulatorLocation_;
    CaptureInput recordingInput_;  // of the running capture, the emulator's location filled in

    // Set by the backend's thread; read by commands.
    std::atomic<std::uint32_t> captureFault_{0};
    std::atomic<std::uint64_t> playPosition_{0};
    std::uint64_t playEnd_ = 0;
    mutable std::mutex playMutex_;
    std::condition_variable playEndedSignal_;
    bool playEnded_ = false;          // guarded by playMutex_
    std::uint32_t playFault_ = 0;     // guarded by playMutex_
    std::uint32_t endedPlayFault_ = 0;  // of a playback that broke off, for the next stop

    // Declared last: destroyed first, while the spool still exists.
    std::unique_ptr<AudioStream> capture_;
    std::unique_ptr<AudioStream> playback_;
};

}  // namespace tapelark
