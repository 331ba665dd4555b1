// SPDX-License-Identifier: MIT
#include "capture/Commands.h"
#include "capture/WaveRecording.h"

namespace tapelark {

using namespace commands;

namespace {

// A free name in the file's own folder for the new file, so that putting it
// in the old one's place is a rename within one folder. Short, so that a
// long name the user chose still leaves room for it. One left by an earlier
// save (a multimedia system may hold it open until its device closes) is
// removed and used again once nothing holds it.
std::string NameBeside(FileSystem& files, const std::string& path) {
    std::size_t slash = path.find_last_of("/\\:");
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    for (int n = 1; n <= 100; ++n) {
        std::string candidate = folder + ".tapelark-save-" + std::to_string(n) + ".wav";
        if (!files.Exists(candidate)) return candidate;
        try {
            files.Remove(candidate);
            return candidate;
        } catch (const FileError&) {
        }
    }
    throw FileError("There is no free name beside the existing file to save the new one under.");
}

// Any white space, a tab too, would end the path inside the command, so such
// a path goes in quotes. Its short form is no way round that: the short name of a file that
// is not there yet makes the save create the file under that short name, and
// the name the user chose is lost.
std::string SaveCommand(const std::string& path) {
    return kSavePrefix + (path.find_first_of(" \t\n\v\f\r") != std::string::npos ? '"' + path + '"' : path);
}

}  // namespace

void WaveRecording::SaveCaptureAs(const std::string& path) {
    // The new file is written beside the user's and takes its name only once
    // complete, so the name always holds a whole file; unless the multimedia
    // system's own save already works that way. Also for a new name: winmm
    // moves the file it saved last when the take is saved again, and that
    // must never be a file of the user's.
    std::string target = mci_.SavesOverFilesInOneStep() ? path : NameBeside(files_, path);
    auto dropTarget = [&] {
        if (target == path) return;
        try {
            if (files_.Exists(target)) files_.Remove(target);
        } catch (...) {
        }
    };

    std::string command = SaveCommand(target);
    std::uint32_t result = 0;
    try {
        result = mci_.SendString(command.c_str(), nullptr, 0, 0);
    } catch (...) {
        dropTarget();
        throw;
    }
    if (result != 0) {
        dropTarget();
        Report(kSaveFailedText + path);
        return;
    }
    if (target == path) return;
    try {
        files_.Replace(target, path);
    } catch (...) {
        dropTarget();
        throw;
    }
}

}  // namespace tapelark
