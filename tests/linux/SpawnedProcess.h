// SPDX-License-Identifier: MIT
#pragma once
// A child process for tests, started with posix_spawn and killed and reaped
// when the object goes. posix_spawn returns while the kernel may still be
// laying out the new program's arguments, so the constructor waits until
// /proc shows the child's own first word.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace tapelark::testing {

class SpawnedProcess {
public:
    // Runs `program` with the given argv; argv[0] is the name the process shows.
    SpawnedProcess(const std::string& program, std::vector<std::string> argv,
                   posix_spawn_file_actions_t* actions = nullptr)
        : argv_(std::move(argv)) {
        std::vector<char*> raw;
        for (auto& a : argv_) raw.push_back(a.data());
        raw.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), actions, nullptr, raw.data(), environ) != 0) {
            pid_ = -1;
            return;
        }
        for (int tries = 0; tries < 500 && FirstWordInProc() != argv_.front(); ++tries) usleep(2000);
    }
    ~SpawnedProcess() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        Wait();
    }
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Asks the child to end with `signal`, and kills it should it still run
    // after a generous deadline; then reaps it.
    void Stop(int signal = SIGKILL) {
        if (pid_ <= 0) return;
        kill(pid_, signal);
        for (int tries = 0; tries < 3000; ++tries) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            usleep(10000);
        }
        kill(pid_, SIGKILL);
        Wait();
    }
    // Reaps the child; its exit status.
    int Wait() {
        int status = 0;
        if (pid_ > 0) {
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            pid_ = -1;
        }
        return status;
    }

private:
    std::string FirstWordInProc() const {
        std::ifstream file("/proc/" + std::to_string(pid_) + "/cmdline", std::ios::binary);
        std::string word;
        std::getline(file, word, '\0');
        return word;
    }

    std::vector<std::string> argv_;
    pid_t pid_ = -1;
};

}  // namespace tapelark::testing
