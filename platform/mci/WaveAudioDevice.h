// SPDX-License-Identifier: MIT
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/mci/AudioBackend.h"
#include "platform/mci/MciNotify.h"
#include "platform/mci/CaptureInput.h"
#include "platform/mci/SpoolFile.h"
#include "platform/mci/SpoolWriter.h"
#include "platform/mci/WaveFormat.h"

namespace tapelark {

struct MciCommand;
class KeywordReader;

// One open waveaudio element: its format, its time format, the sound in a
// spool file, the position, and the capture or playback stream that runs on
// the backend's thread. Commands come in serialised by the engine; the
// backend's callbacks touch only the spool writer, atomics and the small
// notification lock, so they never wait on a command.
class WaveAudioDevice final : private CaptureTarget, private PlaybackSource {
public:
    // Delivers the outcome of a command that asked to notify.
    using Notifier = std::function<void(std::uintptr_t callback, MciNotify result)>;

    WaveAudioDevice(AudioBackend& backend, Notifier notifier);
    ~WaveAudioDevice() override;

    // A new, empty element; 0 or an MCI error code.
    std::uint32_t Open();
    // An existing WAVE file, read whole into the spool.
    std::uint32_t OpenFile(const std::string& path);
    // Every device command but open and close.
    std::uint32_t Execute(const MciCommand& command, std::string& reply, std::uintptr_t callback);
    // Stops everything; a pending notification is aborted.
    void Close();
    // Playing, recording or paused: an automatically opened element stays open.
    bool Busy();
    // set, status, record, stop, play and save.
    std::uint32_t Execute(const MciCommand& command, std::string& reply);
    // What recordings hear until "set NAME input" says otherwise.
    void ChooseInput(const CaptureInput& input, NamedProgram program);

private:
    enum class TimeFormat { Milliseconds, Bytes, Samples };
    enum class Paused { No, Play, Record };

    std::uint32_t Set(KeywordReader& words);
    std::uint32_t SetTimeFormat(KeywordReader& words, TimeFormat& format);
    std::uint32_t Status(KeywordReader& words, std::string& reply);
    std::uint32_t Capability(KeywordReader& words, std::string& reply);
    std::uint32_t Info(KeywordReader& words, std::string& reply);
    std::uint32_t Record(KeywordReader& words, const MciCommand& command, std::uintptr_t callback, bool& async);
    std::uint32_t StartRecording(std::uint64_t at, std::uint64_t limit, bool overwrite);
    std::uint32_t Play(KeywordReader& words, const MciCommand& command, std::uintptr_t callback, bool& async);
    std::uint32_t StartPlaying(std::uint64_t from, std::uint64_t to);
    std::uint32_t Stop(KeywordReader& words);
    std::uint32_t Seek(KeywordReader& words);
    std::uint32_t Pause(KeywordReader& words);
    std::uint32_t Resume(KeywordReader& words);
    std::uint32_t Cue(KeywordReader& words);
    std::uint32_t Delete(KeywordReader& words);
    std::uint32_t Save(std::string path);

    // Reads "from X" / "to Y" and the like into byte positions.
    std::uint32_t TakePosition(KeywordReader& words, bool& seen, std::uint64_t& bytes) const;
    // The input: "set NAME input ...", "status NAME input", and starting a
    // capture from it.
    static bool IsInputSetting(const MciCommand& command);
    std::uint32_t SetInput(const MciCommand& command);
    std::string InputStatus() const;
    std::unique_ptr<AudioStream> StartInputCapture(std::uint32_t& error);

    std::uint32_t StopCapture();
    void StopPlayback();
    void StopAll();
    void ReapStreams();
    bool Recording() const;
    bool Playing() const;
    std::string Mode() const;
    std::uint64_t PositionBytes() const;
    std::uint64_t LengthBytes() const;
    std::uint64_t FromBytes(std::uint64_t bytes) const;
    std::uint32_t ToBytes(std::uint64_t value, std::uint64_t& bytes) const;

    // The pending notification of a running play or record.
    void SetPending(std::uintptr_t callback);
    void EndPending(MciNotify result);

    void Captured(const void* data, std::size_t bytes) override;
    void CaptureFailed(std::uint32_t code) override;
    std::size_t Fill(void* data, std::size_t bytes) override;
    void PlaybackEnded(std::uint32_t code) override;

    AudioBackend& backend_;
    Notifier notifier_;
    WaveFormat format_{1, 8, 11025, 1, 11025};  // winmm's default for a new element
    TimeFormat timeFormat_ = TimeFormat::Milliseconds;
    SpoolFile spool_;
    std::string element_;  // the file's full path, once opened or saved
    Paused paused_ = Paused::No;
    bool overwrite_ = false;  // of the running or paused recording

    // Recording: the spool holds what lies before recordStart_, the writer
    // what has come since, tail_ what lay after the position at the start.
    std::unique_ptr<SpoolWriter> writer_;
    std::unique_ptr<SpoolFile> tail_;
    std::uint64_t recordStart_ = 0;
    std::atomic<std::uint64_t> recordLimit_{~std::uint64_t{0}};  // bytes to record at most
    std::atomic<bool> recordDone_{false};
    CaptureInput input_;
    NamedProgram program_;
    CaptureInput recordingInput_;     // of the running capture
    ProgramMatch recordingProgram_;  // what the named program was found to be

    // Set by the backend's thread; read by commands.
    std::atomic<std::uint32_t> captureFault_{0};
    std::atomic<std::uint64_t> position_{0};
    std::atomic<std::uint64_t> playEnd_{0};
    std::atomic<std::uint32_t> level_{0};
    mutable std::mutex asyncMutex_;
    std::condition_variable endedSignal_;
    bool playEnded_ = false;             // guarded by asyncMutex_
    std::uint32_t playFault_ = 0;        // guarded by asyncMutex_
    std::uintptr_t pendingCallback_ = 0;  // guarded by asyncMutex_
    std::uint32_t endedPlayFault_ = 0;   // of a playback that broke off, for the next stop

    // Declared last: destroyed first, while the spool still exists.
    std::unique_ptr<AudioStream> capture_;
    std::unique_ptr<AudioStream> playback_;
};

}  // namespace tapelark
