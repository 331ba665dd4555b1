#include <algorithm>

#include "capture/Commands.h"
#include "capture/WaveRecording.h"

namespace tapelark {

using namespace commands;

namespace {

inline constexpr std::uint32_t kShortPathCapacity = 255;

// A free name next to the file to keep the user's old copy under while the
// new one is written.
std::string AsideName(FileServices& files, const std::string& path) {
    for (int n = 1; n <= 100; ++n) {
        std::string candidate = path + (n == 1 ? ".tapelark-old" : ".tapelark-old" + std::to_string(n));
        if (!files.Exists(candidate)) return candidate;
    }
    throw FileError("There is no free name beside the existing file to keep it under while saving.");
}

}  // namespace

bool WaveRecording::FileExists(const std::string& path) {
    try {
        return files_.LengthOf(path) > 0;
    } catch (...) {
        return false;
    }
}

std::string WaveRecording::ShortPathOf(const std::string& path) {
    std::string buffer(kShortPathCapacity, ' ');
    std::uint32_t n = shortPaths_.Query(path.c_str(), buffer.data(), kShortPathCapacity);
    if (n == 0) {
        // Nothing there has no short form: make it exist for the moment of the question.
        files_.CreateEmptyAndClose(path);
        n = shortPaths_.Query(path.c_str(), buffer.data(), kShortPathCapacity);
        files_.Remove(path);
    }
    return buffer.substr(0, std::min<std::uint32_t>(n, kShortPathCapacity));
}

void WaveRecording::SaveCaptureAs(const std::string& path) {
    // The old file is only moved aside until the new one is written, so a
    // failed save gives it back instead of losing it.
    std::string aside;
    if (FileExists(path)) {
        aside = AsideName(files_, path);
        files_.Rename(path, aside);
    }
    auto putBack = [&]() -> bool {
        if (aside.empty()) return true;
        try {
            if (files_.Exists(path)) files_.Remove(path);  // what a failed save left there
            files_.Rename(aside, path);
            return true;
        } catch (...) {
            return false;
        }
    };

    // A blank would end the path inside the command, so such a path goes in
    // quotes. Its short form is no way round that: the short name of a file
    // that is not there yet makes the save create the file under that short
    // name, and the name the user chose is lost.
    std::string target = path.find(' ') != std::string::npos ? '"' + path + '"' : path;
    std::string command = kSavePrefix + target;
    std::uint32_t result = 0;
    try {
        result = mci_.SendString(command.c_str(), nullptr, 0, 0);
    } catch (...) {
        putBack();
        throw;
    }

    if (result != 0) {
        std::string message = "Saving file failed, file name was: " + path;
        if (!putBack()) message += "\r\nThe earlier file was kept as: " + aside;
        Report(message);
        return;
    }
    if (!aside.empty()) {
        try {
            files_.Remove(aside);
        } catch (const FileError& error) {
            Report("The recording was saved, but the earlier file could not be removed and was kept as: " +
                   aside + "\r\n" + error.what());
        }
    }
}

}  // namespace tapelark
