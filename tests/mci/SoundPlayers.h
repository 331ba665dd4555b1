// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tapelark {

// A child process of the test: a player under the executable name a test
// chooses (the name a program is known by in the process list), a listener
// or a sound server. Killed when it goes out of scope.
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

// A PulseAudio server of the test's own, at unix:DIR/native, which the test
// may kill (the fixture's server must stay up for the others); null once it
// has not answered for ten seconds.
inline std::unique_ptr<SoundProcess> OwnPulseServer(const std::string& dir, bool withNullSink) {
    std::filesystem::create_directories(dir + "/state");
    std::vector<std::string> argv{"env", "PULSE_RUNTIME_PATH=" + dir, "PULSE_STATE_PATH=" + dir + "/state",
                                  "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                  "--use-pid-file=no", "--log-target=file:" + dir + "/server.log",
                                  "--load=module-native-protocol-unix socket=" + dir + "/native"};
    if (withNullSink) argv.push_back("--load=module-null-sink");
    auto server = std::make_unique<SoundProcess>(argv, "env");
    const std::string info = "pactl --server=unix:" + dir + "/native info >/dev/null 2>&1";
    for (int i = 0; i < 100; ++i) {
        if (std::system(info.c_str()) == 0) return server;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return nullptr;
}

}  // namespace tapelark
