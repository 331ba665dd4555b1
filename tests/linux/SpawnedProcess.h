// SPDX-License-Identifier: MIT
#pragma once
// A child process for tests, killed and reaped when the object goes.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace tapelark::testing {

class SpawnedProcess {
public:
    // Runs `program` with `argv`; argv[0] is the name the process shows.
    SpawnedProcess(const std::string& program, std::vector<std::string> argv) {
        std::vector<char*> raw;
        for (auto& a : argv) raw.push_back(a.data());
        raw.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, raw.data(), environ) != 0) {
            pid_ = -1;
            return;
        }
        // posix_spawn may return before the new program is in place: wait
        // until /proc shows the child's own first word.
        for (int tries = 0; tries < 500; ++tries) {
            std::ifstream cmdline("/proc/" + std::to_string(pid_) + "/cmdline", std::ios::binary);
            std::string word;
            if (std::getline(cmdline, word, '\0') && word == argv.front()) break;
            usleep(2000);
        }
    }
    ~SpawnedProcess() { Stop(SIGKILL); }
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    // Ends the child with `signal` and reaps it.
    void Stop(int signal) {
        if (pid_ <= 0) return;
        kill(pid_, signal);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace tapelark::testing
