// SPDX-License-Identifier: MIT
#include "platform/linux/ProgramLauncher.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/AsciiText.h"
#include "common/WriteAll.h"

extern char** environ;

namespace tapelark {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsWindowsProgram(const std::string& program) {
    const std::string lowered = AsciiLowerCase(program);
    const bool drive = program.size() >= 3 && ((lowered[0] >= 'a' && lowered[0] <= 'z') &&
                                               program[1] == ':' && (program[2] == '\\' || program[2] == '/'));
    return drive || program.find('\\') != std::string::npos || lowered.ends_with(".exe");
}

std::vector<std::string> SplitArguments(const std::string& text) {
    std::vector<std::string> arguments;
    std::string current;
    bool inWord = false;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (IsBlank(c) && !quoted) {
            if (inWord) arguments.push_back(current);
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord) arguments.push_back(current);
    return arguments;
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The program's file, found before forking so that the child only has to exec.
std::string Resolve(const std::string& program) {
    if (program.find('/') != std::string::npos) return program;
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr && *path != '\0' ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + program;
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

// The errno of a failed start, to the parent that waits on the pipe.
void ReportError(int errorPipe, int error) {
    WriteAll(
        [errorPipe](const char* bytes, std::size_t size) {
            ssize_t n;
            do n = write(errorPipe, bytes, size);
            while (n < 0 && errno == EINTR);
            return n;
        },
        &error, sizeof error);
}

// In the grandchild: only async-signal-safe calls from here on.
[[noreturn]] void ExecProgram(const char* file, char* const* argv, int errorPipe) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) sigaction(signal, &standard, nullptr);
    const int null = open("/dev/null", O_RDONLY);
    if (null >= 0 && null != STDIN_FILENO) {
        dup2(null, STDIN_FILENO);
        close(null);
    }
    // Nothing of ours beyond the standard streams goes with the program; the
    // error pipe is close-on-exec already and must stay open until the exec.
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != errorPipe) close(fd);
        }
    }
    execve(file, argv, environ);
    ReportError(errorPipe, errno);
    _exit(127);
}

}  // namespace

std::vector<std::string> LaunchArguments(const std::string& commandLine) {
    const std::string text(TrimWhitespace(UpToNul(commandLine)));
    if (text.empty()) return {};

    std::string program;
    std::string rest;
    if (text[0] == '"') {
        const std::size_t close = text.find('"', 1);
        program = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        rest = close == std::string::npos ? "" : text.substr(close + 1);
    } else {
        const std::string lowered = AsciiLowerCase(text);
        std::size_t exe = lowered.find(".exe");
        while (exe != std::string::npos && exe + 4 < text.size() && !IsBlank(text[exe + 4])) {
            exe = lowered.find(".exe", exe + 1);
        }
        if (exe != std::string::npos) {
            program = text.substr(0, exe + 4);
            rest = text.substr(exe + 4);
        } else {
            program = text;
        }
    }
    if (program.empty()) return {};

    std::vector<std::string> arguments;
    if (IsWindowsProgram(program)) arguments.push_back("wine");
    arguments.push_back(program);
    for (auto& argument : SplitArguments(rest)) arguments.push_back(std::move(argument));
    return arguments;
}

bool LaunchDetached(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments[0].empty()) return false;
    const std::string file = Resolve(arguments[0]);
    if (file.empty()) return false;

    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // The pipe closes on a successful exec; an errno arrives through it otherwise.
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;

    const pid_t child = fork();
    if (child < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return false;
    }
    if (child == 0) {
        close(pipeFds[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) ExecProgram(file.c_str(), argv.data(), pipeFds[1]);
        if (grandchild < 0) {
            ReportError(pipeFds[1], errno);
        }
        _exit(0);
    }

    close(pipeFds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = read(pipeFds[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(pipeFds[0]);
    return got == 0;
}

}  // namespace tapelark
