// SPDX-License-Identifier: MIT
#include "capture/Commands.h"
#include "capture/WaveRecording.h"

namespace tapelark {

using namespace commands;

namespace {

// White space would end the path inside the command, so such a path goes in quotes.
std::string SaveCommand(const std::string& path) {
    const bool quoted = path.find_first_of(" \t\r\n\v\f") != std::string::npos;
    return kSavePrefix + (quoted ? '"' + path + '"' : path);
}

}  // namespace

void WaveRecording::SaveCaptureAs(const std::string& path) {
    const std::uint32_t result = saving_.SaveAs(path, [this](const std::string& target) {
        return mci_.SendString(SaveCommand(target).c_str(), nullptr, 0, 0);
    });
    if (result != 0) Report(kSaveFailedText + path);
}

}  // namespace tapelark
