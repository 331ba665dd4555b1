// SPDX-License-Identifier: MIT
// mcisend: sends MCI command strings to Tapelark's multimedia engine, one per
// argument, or one per line of standard input when there are no arguments,
// and prints for each: the result code, the reply and the error text,
// separated by tabs; and for each notification a command asked for with
// "notify": NOTIFY, the alias and how it ended. Exits 1 if any command
// failed, 2 on a usage error.
#include <csignal>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "platform/mci/MciEngine.h"
#include "platform/linux/WineEmulatorProgram.h"
#include "platform/mci/McisendRecovery.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: mcisend [--record-from=" << tapelark::RecordFromValues(tapelark::kEmulatorInput)
        << "] [COMMAND...]\n"
           "Sends each MCI command string (one per argument, or one per line of standard\n"
           "input) and prints: CODE<TAB>REPLY<TAB>TEXT. A command with \"notify\" also\n"
           "prints NOTIFY<TAB>ALIAS<TAB>successful|superseded|aborted|failure when it ends.\n"
           "Blank lines and lines starting with # are skipped. Example:\n"
           "  mcisend \"open new type waveaudio alias capture\" \"record capture\" ...\n"
           "--record-from chooses what recordings hear: the default input, what the\n"
           "default output plays, only the emulator (its install location from the Wine\n"
           "prefix's registry, else any VGS.EXE), only programs whose executable name ends with TEXT, or\n"
           "a source by name.\n"
        << tapelark::kRecoveryUsage;
}

// Notifications of a command come after its own line; those of sound that
// ends later are printed as they come.
class Output {
public:
    void BeginCommand() {
        std::lock_guard lock(mutex_);
        inCommand_ = true;
    }
    void EndCommand(std::uint32_t code, const std::string& reply) {
        std::lock_guard lock(mutex_);
        std::cout << code << '\t' << reply << '\t' << tapelark::MciErrorText(code) << '\n';
        for (const std::string& line : held_) std::cout << line;
        held_.clear();
        inCommand_ = false;
    }
    void Notified(const std::string& alias, tapelark::MciNotify result) {
        std::lock_guard lock(mutex_);
        std::string line = "NOTIFY\t" + alias + '\t' + tapelark::MciNotifyName(result) + '\n';
        if (inCommand_) {
            held_.push_back(line);
        } else {
            std::cout << line;
            std::cout.flush();
        }
    }
    void Flush() {
        std::lock_guard lock(mutex_);
        std::cout.flush();
    }

private:
    std::mutex mutex_;
    bool inCommand_ = false;
    std::vector<std::string> held_;
};

bool Run(tapelark::MciEngine& engine, Output& out, const std::string& command) {
    std::string reply;
    out.BeginCommand();
    std::uint32_t code = engine.Send(command, reply, /*callback=*/1);
    out.EndCommand(code, reply);
    return code == 0;
}

bool Skipped(const std::string& line) {
    std::size_t first = line.find_first_not_of(" \t\r");
    return first == std::string::npos || line[first] == '#';
}

}  // namespace

int main(int argc, char** argv) {
    tapelark::RecordFromOption recordFrom = tapelark::TakeRecordFromOption(argc, argv, tapelark::kEmulatorInput);
    if (recordFrom.given && !recordFrom.input) {
        std::cerr << tapelark::RecordFromUsageError("mcisend", recordFrom.value, tapelark::kEmulatorInput) << '\n';
        return 2;
    }
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        PrintUsage(std::cout);
        return 0;
    }
    if (auto status = tapelark::RunRecoveryOption(argc, argv, std::cout, std::cerr)) return *status;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {  // no MCI command starts so
            std::cerr << "mcisend: unknown option \"" << argv[i] << "\"; see mcisend --help\n";
            return 2;
        }
    }
    // A closed output pipe must end us with an error, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    // Buffered streams: a flush per line would cost a write per command.
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);
    Output out;
    tapelark::MciEngine engine;
    engine.SetNotifySink([&out](std::uintptr_t, const std::string& alias, tapelark::MciNotify result) {
        out.Notified(alias, result);
    });
    engine.SetWarningSink([](const std::string& text) { std::cerr << "mcisend: " << text << std::endl; });
    if (recordFrom.input) engine.SetCaptureInput(*recordFrom.input);
    engine.SetNamedProgram(tapelark::WineEmulatorProgram());
    bool allGood = true;
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) allGood = Run(engine, out, argv[i]) && allGood;
    } else {
        std::string line;
        while (true) {
            // Whoever feeds us line by line sees each reply before we wait for more.
            if (std::cin.rdbuf()->in_avail() <= 0) out.Flush();
            if (!std::getline(std::cin, line)) break;
            if (!Skipped(line)) allGood = Run(engine, out, line) && allGood;
        }
    }
    out.Flush();
    // The engine goes before the output, so no notification comes after it.
    engine.SetNotifySink(nullptr);
    return allGood ? 0 : 1;
}
