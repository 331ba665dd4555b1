// SPDX-License-Identifier: MIT
#pragma once
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tapelark {

// A child process of the test: a player under the executable name a test
// chooses (the name a program is known by in the process list), or a
// listener. Killed when it goes out of scope.
class SoundProcess {
public:
    explicit SoundProcess(std::vector<std::string> argv, std::string file) {
        pid_ = ::fork();
        if (pid_ == 0) {
            std::vector<char*> args;
            for (auto& a : argv) args.push_back(a.data());
            args.push_back(nullptr);
            ::execvp(file.c_str(), args.data());
            ::_exit(127);
        }
    }
    SoundProcess(const SoundProcess&) = delete;
    SoundProcess& operator=(const SoundProcess&) = delete;
    ~SoundProcess() {
        if (pid_ > 0) ::kill(pid_, SIGKILL);
        Wait();
    }
    // Exit status once it has ended by itself.
    int Wait() {
        int status = -1;
        if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_) pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
};

// paplay under `name`, playing `wav` to the default sink or to `sink`.
inline SoundProcess Player(const std::string& name, const std::string& wav, const std::string& sink = "") {
    std::vector<std::string> argv{name, wav};
    if (!sink.empty()) argv.push_back("--device=" + sink);
    return SoundProcess(argv, "paplay");
}

// An idle null sink delivers to its monitor in 2 s blocks; a listener that
// asks for a short latency keeps its blocks short while a test measures time.
inline SoundProcess Listener(const std::string& source) {
    return SoundProcess({"pacat", "--record", "--latency-msec=50", "--device=" + source, "/dev/null"}, "pacat");
}

}  // namespace tapelark
