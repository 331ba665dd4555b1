// SPDX-License-Identifier: MIT
#include <stdexcept>

#include "capture/Commands.h"
#include "capture/NumberText.h"
#include "capture/WaveRecording.h"
#include "common/AsciiText.h"
#include "common/Guarded.h"

namespace tapelark {

using namespace commands;

namespace {

// The status field keeps its length: what is stored in it is cut or padded with blanks.
void Store(std::string& field, const std::string& text) {
    field = text.substr(0, kStatusField);
    field.resize(kStatusField, ' ');
}

}  // namespace

std::string WaveRecording::CaptureModeText() {
    std::string field(kStatusField, ' ');
    if (mci_.SendString(kStatusMode, field.data(), kStatusField, 0) != 0) return "N/A";
    return std::string(UpToNul(field));
}

std::string WaveRecording::CaptureLengthText() {
    std::string text;
    std::string field(kStatusField, '\0');
    char unread[] = "0";
    bool answered = false;

    Guarded([&] { mci_.SendString(kTimeFormatMs, unread, 0, 0); });
    Guarded([&] { answered = mci_.SendString(kStatusLength, field.data(), kStatusField, 0) == 0; });
    bool seconds = answered && Guarded([&] {
        auto ms = ParseWhole32(UpToNul(field));
        if (!ms) throw std::invalid_argument("no number");
        Store(field, NumberText(static_cast<double>(*ms) / 1000.0));
    });
    if (seconds) text = "Length recording " + NumberText(*ParseNumber(UpToNul(field))) + " s";

    answered = false;
    Guarded([&] { mci_.SendString(kTimeFormatBytes, unread, 0, 0); });
    Guarded([&] { answered = mci_.SendString(kStatusLength, field.data(), kStatusField, 0) == 0; });
    if (auto bytes = answered ? ParseNumber(UpToNul(field)) : std::nullopt)
        text += " (" + NumberText(*bytes) + " bytes)";
    return text;
}

std::optional<bool> WaveRecording::CaptureHearsSound() {
    std::string field(kStatusField, ' ');
    if (mci_.SendString(kStatusLevel, field.data(), kStatusField, 0) != 0) return std::nullopt;
    // winmm packs a stereo level into two 16-bit halves: any sound on either
    // channel makes it non-zero.
    const auto level = ParseNumber(UpToNul(field));
    if (!level) return std::nullopt;
    return *level != 0;
}

}  // namespace tapelark
