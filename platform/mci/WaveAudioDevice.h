// SPDX-License-Identifier: MIT
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/mci/AudioBackend.h"
#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciNotify.h"
#include "platform/mci/MciTimeFormat.h"
#include "platform/mci/CaptureInput.h"
#include "platform/mci/KeptTake.h"
#include "platform/mci/SpoolFile.h"
#include "platform/mci/SpoolWriter.h"
#include "platform/mci/WaveFormat.h"

namespace tapelark {

// One open waveaudio element: its format, its time format, the sound in a
// spool file, the position, and the capture or playback stream that runs on
// the backend's thread. Commands come in serialised by the engine; the
// backend's callbacks touch only the spool writer, atomics and the small
// notification lock, so they never wait on a command.
//
// The verbs and their flags are read in WaveAudioDevice.cpp, the transport
// (record, play, pause, resume, seek, cue, delete, stop and the pending
// notification) runs in WaveAudioTransport.cpp, the input in
// WaveAudioDeviceInput.cpp.
class WaveAudioDevice final : private CaptureTarget, private PlaybackSource {
public:
    // Delivers the outcome of a command that asked to notify.
    using Notifier = std::function<void(std::uintptr_t callback, MciNotify result)>;

    WaveAudioDevice(AudioBackend& backend, Notifier notifier);
    ~WaveAudioDevice() override;

    // A new, empty element, kept in the take folder so that a crash leaves
    // it behind; 0 or an MCI error code.
    std::uint32_t Open();
    // Why the recording is not kept where a crash would leave it, or "".
    const std::string& NotKeptNote() const { return notKept_; }
    // An existing WAVE file, read whole into the spool.
    std::uint32_t OpenFile(const std::string& path);
    // Every device command but open, close and sysinfo.
    std::uint32_t Execute(const MciCommand& command, std::string& reply, std::uintptr_t callback);
    // Stops everything; a pending notification is aborted.
    void Close();
    // Playing, recording or paused: an automatically opened element stays open.
    bool Busy();
    // What recordings hear until "set NAME input" says otherwise.
    void ChooseInput(const CaptureInput& input, NamedProgram program);

private:
    enum class Paused { No, Play, Record };

    // The flags of a transport verb, positions in bytes.
    struct Flags {
        std::optional<std::uint64_t> from, to;
        bool toStart = false, toEnd = false, insert = false, overwrite = false, input = false, output = false;
    };
    // A transport command: its flags, and whether it asked to wait or notify.
    struct Request {
        Flags flags;
        bool wait = false, notify = false;
        std::uintptr_t callback = 0;
        bool async = false;  // set by the verb: it notifies when its sound ends
    };

    std::uint32_t ReadFlags(MciVerb verb, KeywordReader& words, Flags& flags) const;
    std::uint32_t Set(KeywordReader& words);
    std::uint32_t Status(KeywordReader& words, std::string& reply);
    std::uint32_t Capability(KeywordReader& words, std::string& reply);
    std::uint32_t Info(KeywordReader& words, std::string& reply);
    std::uint32_t Save(std::string path);

    // The transport. Each checks everything first and changes nothing when a
    // check fails; Begin() marks the point from which it acts.
    std::uint32_t Transport(MciVerb verb, Request& request);
    void Begin(const Request& request);
    std::uint32_t Record(Request& request);
    std::uint32_t StartRecording(std::uint64_t at, std::uint64_t limit, bool overwrite);
    std::uint32_t Play(Request& request);
    std::uint32_t StartPlaying(std::uint64_t from, std::uint64_t to);
    std::uint32_t Stop(Request& request);
    std::uint32_t Seek(Request& request);
    std::uint32_t Pause(Request& request);
    std::uint32_t Resume(Request& request);
    std::uint32_t Cue(Request& request);
    std::uint32_t Delete(Request& request);

    // The input: "set NAME input ...", "status NAME input", and starting a
    // capture from it.
    static bool IsInputSetting(const MciCommand& command);
    std::uint32_t SetInput(const MciCommand& command);
    std::string InputStatus() const;
    std::string InputStatusAlone() const;
    std::unique_ptr<AudioStream> StartInputCapture(std::uint32_t& error);

    std::uint32_t StopCapture();
    void StopPlayback();
    void StopAll();
    void ReapStreams();
    bool Recording() const;
    // A playback stream that has not ended: playing, or held by a pause.
    bool PlayStreamLive() const;
    bool Playing() const;
    std::string Mode() const;
    std::uint64_t PositionBytes() const;
    std::uint64_t LengthBytes() const;
    // Where a running play is heard now.
    std::uint64_t HeardPosition() const;
    // Bytes recorded by the running capture that are kept.
    std::uint64_t RecordedBytes() const;

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
    std::unique_ptr<KeptTake> kept_;  // whose sound file spool_ works on
    std::string notKept_;
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
    std::uint64_t playStart_ = 0;  // where the running playback stream began
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
