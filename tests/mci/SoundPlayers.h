// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/Eventually.h"

namespace tapelark {

using testing::ChildProcess;
using testing::Eventually;

using Clock = std::chrono::steady_clock;

inline void SleepUntil(Clock::time_point start, double seconds) {
    std::this_thread::sleep_until(
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
}

// Writes a sine tone as a stereo 16-bit 44.1 kHz WAVE file; whether sox did.
inline bool MakeTone(const std::string& path, double frequency, double seconds, double volume) {
    const std::string make = "sox -q -n -r 44100 -c 2 -b 16 '" + path + "' synth " + std::to_string(seconds) +
                             " sine " + std::to_string(frequency) + " vol " + std::to_string(volume);
    return std::system(make.c_str()) == 0;
}

// paplay under `name`, playing `wav` to the default sink or to `sink`.
// paplay tells by its own name whether to read a WAVE file or raw samples,
// so under another name it is told to read the file.
inline ChildProcess Player(const std::string& name, const std::string& wav, const std::string& sink = "") {
    std::vector<std::string> argv{name, "--file-format", wav};
    if (!sink.empty()) argv.push_back("--device=" + sink);
    return ChildProcess("paplay", argv);
}

// An idle null sink delivers to its monitor in 2 s blocks; a listener that
// asks for a short latency keeps its blocks short while a test measures time.
inline ChildProcess Listener(const std::string& source) {
    return ChildProcess("pacat",
                        {"pacat", "--record", "--latency-msec=50", "--device=" + source, "/dev/null"});
}

// A PulseAudio server of the test's own, at unix:DIR/native, which the test
// may kill (the fixture's server must stay up for the others); null once it
// has not answered for ten seconds.
inline std::unique_ptr<ChildProcess> OwnPulseServer(const std::string& dir, bool withNullSink) {
    std::filesystem::create_directories(dir + "/state");
    std::vector<std::string> argv{"env", "PULSE_RUNTIME_PATH=" + dir, "PULSE_STATE_PATH=" + dir + "/state",
                                  "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                  "--use-pid-file=no", "--log-target=file:" + dir + "/server.log",
                                  "--load=module-native-protocol-unix socket=" + dir + "/native"};
    if (withNullSink) argv.push_back("--load=module-null-sink");
    auto server = std::make_unique<ChildProcess>("env", argv);
    const std::string info = "pactl --server=unix:" + dir + "/native info >/dev/null 2>&1";
    return Eventually([&] { return std::system(info.c_str()) == 0; }, 10) ? std::move(server) : nullptr;
}

}  // namespace tapelark
