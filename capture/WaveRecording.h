// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileSaving.h"
#include "platform/MciChannel.h"
#include "platform/MessageBoxes.h"

namespace tapelark {

inline constexpr const char* kSaveFailedText = "Saving file failed, file name was: ";

// The capture logic: one waveaudio device under the alias "capture". It keeps
// no state of its own; the multimedia system holds the device and its sound.
class WaveRecording {
public:
    WaveRecording(MciChannel& mci, MessageBoxes& messages, FileSaving& saving);

    void BeginRecording();
    bool OpenCaptureDevice();
    void SetCaptureFormat(std::int16_t channels, std::int16_t bits, std::int32_t rate);
    void StartCapture();
    void StopCapture();
    void PlayCapture();
    void CloseAllDevices();
    std::string CaptureModeText();
    std::string CaptureLengthText();
    // Whether the input hears any sound now; nothing when the multimedia
    // system does not answer (no device).
    std::optional<bool> CaptureHearsSound();

    // Throws FileError when a file step around the save fails; a refused
    // save is reported here.
    void SaveCaptureAs(const std::string& path);

private:
    void Report(const std::string& text);

    MciChannel& mci_;
    MessageBoxes& messages_;
    FileSaving& saving_;
};

}  // namespace tapelark
