// SPDX-License-Identifier: MIT
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace tapelark::testing {

// A shell script standing in for the emulator: each start appends
// "PID PARENT SESSION ARGUMENTS" to launched.log in its folder.
class StandInEmulator {
public:
    explicit StandInEmulator(const TempFolder& folder, const std::string& name = "stand-in vgs.sh")
        : script_(folder / name), log_(folder / "launched.log") {
        std::ofstream(script_) << "#!/bin/sh\n"
                                  "echo \"$$ $PPID $(ps -o sid= -p $$ | tr -d ' ') $*\" >> '"
                               << log_ << "'\n";
        chmod(script_.c_str(), 0755);
    }

    const std::string& script() const { return script_; }
    std::vector<std::string> Log() const {
        std::ifstream file(log_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }
    // Blocks until `count` starts have reported; false after a generous
    // deadline, so a fault fails the test instead of hanging it.
    bool AwaitStarts(std::size_t count) const {
        for (int tries = 0; tries < 3000; ++tries) {
            if (Log().size() >= count) return true;
            usleep(10000);
        }
        return false;
    }

private:
    std::string script_;
    std::string log_;
};

}  // namespace tapelark::testing
