// mcisend: sends MCI command strings to Tapelark's multimedia engine, one per
// argument, or one per line of standard input when there are no arguments,
// and prints for each: the result code, the reply and the error text,
// separated by tabs. Exits 1 if any command failed, 2 on a usage error.
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/mci/MciEngine.h"
#include "platform/mci/WineEmulatorLocation.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: mcisend [--record-from=" << tapelark::kRecordFromValues << "] [COMMAND...]\n"
           "Sends each MCI command string (one per argument, or one per line of standard\n"
           "input) and prints: CODE<TAB>REPLY<TAB>TEXT. Blank lines and lines starting\n"
           "with # are skipped. Example:\n"
           "  mcisend \"open new type waveaudio alias capture\" \"record capture\" ...\n"
           "--record-from chooses what recordings hear: the default input, what the\n"
           "default output plays, only the emulator (its install location from the Wine\n"
           "prefix's registry), only programs whose executable name ends with TEXT, or\n"
           "a source by name.\n";
}

bool Run(tapelark::MciEngine& engine, const std::string& command) {
    std::string reply;
    std::uint32_t code = engine.Send(command, reply);
    std::cout << code << '\t' << reply << '\t' << tapelark::MciErrorText(code) << std::endl;
    return code == 0;
}

bool Skipped(const std::string& line) {
    std::size_t first = line.find_first_not_of(" \t\r");
    return first == std::string::npos || line[first] == '#';
}

}  // namespace

int main(int argc, char** argv) {
    tapelark::RecordFromOption recordFrom = tapelark::TakeRecordFromOption(argc, argv);
    if (recordFrom.given && !recordFrom.input) {
        std::cerr << tapelark::RecordFromUsageError("mcisend", recordFrom.value) << '\n';
        return 2;
    }
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        PrintUsage(std::cout);
        return 0;
    }
    // A closed output pipe must end us with an error, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    tapelark::MciEngine engine;
    if (recordFrom.input) engine.SetCaptureInput(*recordFrom.input);
    engine.SetEmulatorLocation(tapelark::WineEmulatorLocation());
    bool allGood = true;
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) allGood = Run(engine, argv[i]) && allGood;
    } else {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!Skipped(line)) allGood = Run(engine, line) && allGood;
        }
    }
    return allGood ? 0 : 1;
}
