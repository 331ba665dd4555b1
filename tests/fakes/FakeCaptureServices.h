// SPDX-License-Identifier: MIT
#pragma once
// The capture logic's two services: the multimedia system and the file step.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/FileSaving.h"
#include "platform/MciChannel.h"

namespace tapelark::testing {

// A scripted multimedia system: records every command and answers with the
// codes and replies a test chose (0 and "" unless told). With `device` set,
// what is not scripted is answered as a waveaudio device in miniature would:
// mode and lengths, and 263 once it is closed.
class FakeMciChannel : public MciChannel {
public:
    struct Answer {
        std::uint32_t code = 0;
        std::string reply;
        bool throws = false;
    };

    // The next answers to `command`, in order; the last one repeats.
    void Script(const std::string& command, std::vector<Answer> answers) {
        scripts_[command] = std::deque<Answer>(answers.begin(), answers.end());
    }

    std::uint32_t SendString(const char* command, char* reply, std::uint32_t size, std::uintptr_t) override {
        calls.push_back(command);
        Answer answer;
        if (auto it = scripts_.find(command); it != scripts_.end() && !it->second.empty()) {
            answer = it->second.front();
            if (it->second.size() > 1) it->second.pop_front();
        } else if (device) {
            answer = Device(command);
        }
        if (answer.throws) throw std::runtime_error("the multimedia system is gone");
        // Like the real system, a failure leaves the field alone unless told otherwise.
        if (reply != nullptr && size > 0 && (answer.code == 0 || !answer.reply.empty())) {
            std::size_t n = std::min<std::size_t>(answer.reply.size(), size - 1);
            std::memcpy(reply, answer.reply.data(), n);
            reply[n] = '\0';
        }
        return answer.code;
    }

    std::vector<std::string> calls;  // every command, in order
    bool device = false;
    std::string mode = "stopped";  // of the device

private:
    Answer Device(const std::string& command) {
        if (command == "close all") open_ = false;
        if (command.starts_with("open ")) open_ = true;
        if (!open_) return {command == "close all" ? 0u : 263u, ""};  // no such device
        if (command == "stop capture" || command.starts_with("open ")) mode = "stopped";
        if (command == "record capture") mode = "recording";
        if (command.starts_with("set capture time format ")) bytes_ = command.ends_with("bytes");
        if (command == "status capture mode") return {0, mode};
        if (command == "status capture length") return {0, bytes_ ? "2177280" : "12345"};
        return {};
    }

    bool open_ = false;
    bool bytes_ = false;
    std::map<std::string, std::deque<Answer>> scripts_;
};

// Has the file written at the user's path, or at `beside` as winmm's saves
// need; with `fails`, the step after the save fails.
struct FakeFileSaving : FileSaving {
    std::uint32_t SaveAs(const std::string& path, const Save& save) override {
        const std::uint32_t code = save(beside.empty() ? path : beside);
        if (fails) throw FileError("cannot put the new file in the place of " + path);
        return code;
    }
    std::string beside;
    bool fails = false;
};

}  // namespace tapelark::testing
