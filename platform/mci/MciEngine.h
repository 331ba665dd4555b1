// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/MciChannel.h"
#include "platform/mci/AudioBackend.h"
#include "platform/mci/MciNotify.h"
#include "platform/mci/CaptureInput.h"

namespace tapelark {

class WaveAudioDevice;
struct MciCommand;

// The multimedia system on Linux: carries out MCI command strings on
// waveaudio devices kept under their aliases. Commands may come from any
// thread; audio moves on the backend's thread, so no command waits for it.
class MciEngine final : public MciChannel {
public:
    // Records from and plays to PulseAudio; connects on first use, so
    // constructing never fails or blocks, with or without a sound server.
    MciEngine();
    explicit MciEngine(std::shared_ptr<AudioBackend> backend);
    ~MciEngine() override;

    MciEngine(const MciEngine&) = delete;
    MciEngine& operator=(const MciEngine&) = delete;

    // A non-zero `callbackWindow` is where a command with "notify" reports
    // how it ended, through the notify sink.
    std::uint32_t SendString(const char* command, char* reply, std::uint32_t replyLength,
                             std::uintptr_t callbackWindow) override;

    // The same, with the reply as a string (used by mcisend and tests).
    std::uint32_t Send(const std::string& command, std::string& reply, std::uintptr_t callback = 0);

    // Where notifications go; without a sink they are dropped.
    void SetNotifySink(MciNotifySink sink);
    // Told once for each new element that a crash would take with it (the
    // take folder cannot be written); "status NAME input" says so as well.
    void SetWarningSink(std::function<void(const std::string&)> sink);

    // What devices opened from now on record from (the program's own
    // setting, not the commands'), and a program the caller knows by a name
    // of its own, which inputs may name.
    void SetCaptureInput(const CaptureInput& input);
    void SetNamedProgram(NamedProgram program);

private:
    struct Device {
        unsigned id = 0;
        bool autoOpened = false;  // named by file in a command; closes when idle
        std::string alias;        // as written
        std::unique_ptr<WaveAudioDevice> device;
    };

    // Parses `text` into `command` and carries it out.
    std::uint32_t ParseAndRun(const std::string& text, MciCommand& command, std::string& reply, std::uintptr_t callback);
    std::uint32_t Open(const MciCommand& command, std::string& reply, std::uintptr_t callback);
    std::uint32_t OpenDevice(const std::string& alias, const std::string& file, bool autoOpened,
                             std::string& reply);
    std::uint32_t Close(const MciCommand& command, std::uintptr_t callback);
    std::uint32_t Sysinfo(const MciCommand& command, std::string& reply, std::uintptr_t callback);
    std::uint32_t WithoutDevice(const MciCommand& command, std::string& reply, std::uintptr_t callback);
    void CloseIdleAutoOpened();
    void Notify(std::uintptr_t callback, const std::string& alias, MciNotify result);

    std::mutex mutex_;
    std::shared_ptr<AudioBackend> backend_;
    std::map<std::string, Device> devices_;  // by lower-case alias
    std::mutex sinkMutex_;
    MciNotifySink sink_;
    std::function<void(const std::string&)> warningSink_;  // guarded by sinkMutex_
    CaptureInput input_;
    NamedProgram program_;
};

// The text that explains an MCI error code (the mciGetErrorString role).
std::string MciErrorText(std::uint32_t code);

}  // namespace tapelark
