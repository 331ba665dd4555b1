// SPDX-License-Identifier: MIT
#pragma once
// A child process of a test under a name of the test's choosing (argv[0],
// the name the process list shows); killed and reaped when it goes.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace tapelark::testing {

class ChildProcess {
public:
    // `program` is looked up on PATH unless it holds a slash.
    ChildProcess(const std::string& program, std::vector<std::string> argv) {
        std::vector<char*> raw;
        for (auto& a : argv) raw.push_back(a.data());
        raw.push_back(nullptr);
        if (posix_spawnp(&pid_, program.c_str(), nullptr, nullptr, raw.data(), environ) != 0) {
            pid_ = -1;
            return;
        }
        // posix_spawn may return before the new program is in place: wait
        // until /proc shows the child under its name.
        for (int tries = 0; tries < 500; ++tries) {
            std::ifstream cmdline("/proc/" + std::to_string(pid_) + "/cmdline", std::ios::binary);
            std::string word;
            if (std::getline(cmdline, word, '\0') && word == argv.front()) break;
            usleep(2000);
        }
    }
    ~ChildProcess() { Stop(SIGKILL); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void Stop(int signal) {
        if (pid_ > 0) kill(pid_, signal);
        Wait();
    }
    // The exit status once the child has ended.
    int Wait() {
        int status = -1;
        if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_) pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace tapelark::testing
