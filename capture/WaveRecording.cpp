// SPDX-License-Identifier: MIT
#include "capture/WaveRecording.h"

#include <cmath>
#include <limits>

#include "capture/Commands.h"
#include "common/ApplicationTitle.h"
#include "common/Guarded.h"

namespace tapelark {

using namespace commands;

WaveRecording::WaveRecording(MciChannel& mci, MessageBoxes& messages, FileSaving& saving)
    : mci_(mci), messages_(messages), saving_(saving) {}

void WaveRecording::Report(const std::string& text) { messages_.Show(text, kStyleOk, kApplicationTitle); }

void WaveRecording::BeginRecording() {
    bool open = false;
    // An error inside the open itself skips only the check of its result.
    if (Guarded([&] { open = OpenCaptureDevice(); }) && !open) return;
    Guarded([&] { SetCaptureFormat(2, 16, 44100); });
    Guarded([&] { StartCapture(); });
}

bool WaveRecording::OpenCaptureDevice() {
    std::string field(kCommandField, ' ');
    if (mci_.SendString(kCloseAll, field.data(), kCommandField, 0) != 0) {
        Report("Closing all MCI operations failed!");
        return false;
    }
    if (mci_.SendString(kOpen, field.data(), kCommandField, 0) != 0) {
        Report("Opening new wave failed!");
        return false;
    }
    return true;
}

namespace {

// Halves go to the even neighbour, as the format's block alignment always has.
std::int64_t RoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    double exact = static_cast<double>(numerator) / static_cast<double>(denominator);
    double low = std::floor(exact);
    double rest = exact - low;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(low, 2.0) != 0)) low += 1;
    return static_cast<std::int64_t>(low);
}

template <typename Narrow>
bool Fits(std::int64_t value) {
    return value >= std::numeric_limits<Narrow>::min() && value <= std::numeric_limits<Narrow>::max();
}

}  // namespace

void WaveRecording::SetCaptureFormat(std::int16_t channels, std::int16_t bits, std::int32_t rate) {
    std::int64_t product = static_cast<std::int64_t>(channels) * bits;
    if (!Fits<std::int16_t>(product)) return;  // overflow: nothing is sent
    auto alignment = static_cast<std::int16_t>(RoundHalfEven(product, 8));
    std::int64_t byteRate = static_cast<std::int64_t>(alignment) * rate;
    if (!Fits<std::int32_t>(byteRate)) return;

    std::string command = "set capture alignment " + std::to_string(alignment) + " bitspersample " +
                          std::to_string(bits) + " samplespersec " + std::to_string(rate) +
                          " channels " + std::to_string(channels) + " bytespersec " +
                          std::to_string(byteRate);
    std::string field(kCommandField, ' ');
    if (mci_.SendString(command.c_str(), field.data(), kCommandField, 0) != 0)
        Report("Settings for recording not consistent");
}

void WaveRecording::StartCapture() {
    std::string field(kCommandField, ' ');
    if (mci_.SendString(kRecord, field.data(), kCommandField, 0) != 0) Report("Recording not possible.");
}

void WaveRecording::StopCapture() {
    if (mci_.SendString(kStop, nullptr, 0, 0) != 0) Report("Stopping recording failed!");
}

void WaveRecording::PlayCapture() {
    if (mci_.SendString(kPlay, nullptr, 0, 0) != 0)
        Report("Start playing failed!\r\nClose other applications using multimedia.");
}

void WaveRecording::CloseAllDevices() { mci_.SendString(kCloseAll, nullptr, 0, 0); }

}  // namespace tapelark
