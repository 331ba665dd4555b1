// SPDX-License-Identifier: MIT
#pragma once
// Fakes of the platform interfaces under the main window. Each records what it
// was asked, so a test states the exact commands and calls it expects.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/FileServices.h"
#include "platform/MciChannel.h"
#include "platform/ProgramEnvironment.h"
#include "platform/SaveFileDialog.h"
#include "platform/ShellService.h"
#include "platform/ShortPathService.h"
#include "tests/fakes/FakeMessageBox.h"
#include "window/FormLayout.h"
#include "window/FormView.h"

namespace tapelark::testing {

// Starts as the window does: the enabled states and status text of the layout.
class FakeView : public FormView {
public:
    FakeView() {
        for (const auto& control : FormControls()) enabled[control.name] = control.enabledAtStart;
        status = LayoutOf(Control::lblStatus).caption;
    }
    void SetEnabled(Control button, bool on) override { enabled[button] = on; }
    void StartTimer() override { timer = true; }
    void StopTimer() override { timer = false; }
    bool TimerRunning() override { return timer; }
    void SetStatusText(const std::string& text) override { status = text; }
    std::uintptr_t OwnerHandle() override { return 0x4711; }

    std::map<Control, bool> enabled;
    bool timer = false;
    std::string status;
};

// A waveaudio device in miniature: enough for the engine's commands to get
// the answers a real one gives (mode, lengths, failure once closed).
class FakeMci : public MciChannel {
public:
    std::uint32_t SendString(const char* command, char* reply, std::uint32_t length,
                             std::uintptr_t) override {
        const std::string text = command;
        sent.push_back(text);
        if (refuse.count(text)) return 263;
        std::string answer;
        if (text == "close all") {
            open = false;
        } else if (text.rfind("open ", 0) == 0) {
            open = true;
            mode = "stopped";
        } else if (!open) {
            return 263;  // no such device
        } else if (text == "record capture") {
            mode = "recording";
        } else if (text == "stop capture") {
            mode = "stopped";
        } else if (text == "play capture from 0") {
            mode = "playing";
        } else if (text == "status capture mode") {
            answer = mode;
        } else if (text == "set capture time format ms") {
            bytes = false;
        } else if (text == "set capture time format bytes") {
            bytes = true;
        } else if (text == "status capture length") {
            answer = bytes ? "2177280" : "12345";
        }
        if (reply && length > 0) {
            std::size_t n = std::min<std::size_t>(answer.size(), length - 1);
            std::memcpy(reply, answer.data(), n);
            reply[n] = '\0';
        }
        return 0;
    }

    std::vector<std::string> sent;
    std::map<std::string, int> refuse;
    bool open = false;
    bool bytes = false;
    std::string mode = "stopped";
};

struct FakeFiles : FileServices {
    std::int64_t LengthOf(const std::string& path) override { return existing.count(path) ? 1000 : 0; }
    void Remove(const std::string& path) override {
        if (!failWith.empty()) throw FileError(failWith);
        existing.erase(path);
    }
    void CreateEmptyAndClose(const std::string& path) override {
        if (!failWith.empty()) throw FileError(failWith);
        existing[path] = true;
    }
    void Rename(const std::string& from, const std::string& to) override {
        if (!failWith.empty()) throw FileError(failWith);
        existing.erase(from);
        existing[to] = true;
    }
    bool Exists(const std::string& path) override { return existing.count(path) > 0; }
    void Replace(const std::string& from, const std::string& to) override {
        if (!failWith.empty()) throw FileError(failWith);
        existing.erase(from);
        existing[to] = true;
    }

    std::map<std::string, bool> existing;
    std::string failWith;  // when set, every file step throws this reason
};

struct FakeShortPaths : ShortPathService {
    std::uint32_t Query(const char* path, char* buffer, std::uint32_t capacity) override {
        const std::size_t n = std::strlen(path);
        if (n + 1 > capacity) return static_cast<std::uint32_t>(n + 1);
        std::memcpy(buffer, path, n + 1);
        return static_cast<std::uint32_t>(n);
    }
};

// Answers as the user would: the path typed, or a cancel.
struct FakeSaveDialog : SaveFileDialog {
    int Run(SaveFileRecord& record) override {
        asked.push_back(record);
        if (cancel) return 0;
        if (answer.size() + 1 > record.maxFile) return 0;  // does not fit the buffer
        record.file.replace(0, answer.size() + 1, answer.c_str(), answer.size() + 1);
        return 1;
    }
    std::vector<SaveFileRecord> asked;
    bool cancel = false;
    std::string answer;
};

struct FakeEnvironment : ProgramEnvironment {
    std::string ProgramFolder() override { return programFolder; }
    char PathSeparator() override { return '/'; }
    std::uintptr_t InstanceHandle() override { return 0x400000; }
    bool FolderWritable(const std::string& folder) override { return folder == writable; }
    std::string UserSaveFolder() override { return "/home/player/Music"; }

    std::string programFolder = "/opt/tapelark";
    std::string writable = "/opt/tapelark";
};

struct FakeShell : ShellService {
    struct Call {
        std::uintptr_t owner;
        bool verbNull;
        std::string file;
        bool parametersNull, directoryNull;
        int show;
    };
    std::intptr_t Execute(std::uintptr_t owner, const char* verb, const char* file,
                          const char* parameters, const char* directory, int show) override {
        calls.push_back({owner, verb == nullptr, file ? file : "", parameters == nullptr,
                         directory == nullptr, show});
        if (fail) throw FileError("no handler for web addresses");
        return 42;
    }
    std::vector<Call> calls;
    bool fail = false;
};

}  // namespace tapelark::testing
