// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tapelark {

// A PulseAudio server of the test's own, which the test may kill: the shared
// fixture server must stay up for the other tests.
class PulseServer {
public:
    PulseServer(const std::string& dir, bool withNullSink) : socket_(dir + "/native") {
        std::system(("mkdir -p '" + dir + "/state'").c_str());
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("PULSE_RUNTIME_PATH", dir.c_str(), 1);
            ::setenv("PULSE_STATE_PATH", (dir + "/state").c_str(), 1);
            std::string unixModule = "--load=module-native-protocol-unix socket=" + socket_;
            std::string log = "--log-target=file:" + dir + "/server.log";
            if (withNullSink)
                ::execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                         "--use-pid-file=no", unixModule.c_str(), "--load=module-null-sink", log.c_str(),
                         nullptr);
            else
                ::execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                         "--use-pid-file=no", unixModule.c_str(), log.c_str(), nullptr);
            ::_exit(127);
        }
        // Up once its socket takes connections; it is given a generous while.
        for (int i = 0; i < 200 && !up_; ++i) {
            up_ = Answers();
            if (!up_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~PulseServer() { Kill(); }

    bool Up() const { return up_; }
    std::string Address() const { return "unix:" + socket_; }
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    bool Answers() const {
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        socket_.copy(addr.sun_path, sizeof addr.sun_path - 1);
        bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        ::close(fd);
        return ok;
    }

    std::string socket_;
    pid_t pid_ = -1;
    bool up_ = false;
};

}  // namespace tapelark
