// SPDX-License-Identifier: MIT
#pragma once
// What the launch and window tests share: a stand-in emulator script that
// reports each start through a FIFO, and reading a child's output line by line. Reads give up after a generous deadline so a
// fault shows as a failure rather than a hung test; nothing is timed.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace tapelark::testing {

inline constexpr int kDeadlineMs = 30000;

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Reads one line from `fd`; nothing at the end of the stream or the deadline.
inline std::optional<std::string> ReadLine(int fd, std::string& pending) {
    for (;;) {
        if (const auto end = pending.find('\n'); end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            return line;
        }
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, kDeadlineMs) <= 0) return std::nullopt;
        char buffer[256];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) return std::nullopt;
        pending.append(buffer, static_cast<std::size_t>(got));
    }
}

// A shell script standing in for the emulator: each start appends
// "PID PARENT SESSION ARGUMENTS" to launched.log and then says "started" into
// started.fifo, which the test holds open (so the script never blocks on it).
class StandInEmulator {
public:
    explicit StandInEmulator(const std::string& folder, const std::string& name = "stand-in vgs.sh")
        : script_(folder + "/" + name), log_(folder + "/launched.log"), fifo_(folder + "/started.fifo") {
        WriteText(script_, "#!/bin/sh\n"
                           "echo \"$$ $PPID $(ps -o sid= -p $$ | tr -d ' ') $*\" >> '" + log_ + "'\n"
                           "echo started > '" + fifo_ + "'\n");
        chmod(script_.c_str(), 0755);
        mkfifo(fifo_.c_str(), 0600);
        fd_ = open(fifo_.c_str(), O_RDWR | O_NONBLOCK);
    }
    ~StandInEmulator() {
        if (fd_ >= 0) close(fd_);
    }
    const std::string& script() const { return script_; }
    // Blocks until one start has reported itself; false at the deadline.
    bool AwaitStart() {
        auto line = ReadLine(fd_, pending_);
        return line && *line == "started";
    }
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        std::istringstream text(ReadText(log_));
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }

private:
    std::string script_;
    std::string log_;
    std::string fifo_;
    int fd_ = -1;
    std::string pending_;
};

}  // namespace tapelark::testing
