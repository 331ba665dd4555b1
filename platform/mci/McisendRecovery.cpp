// SPDX-License-Identifier: MIT
#include "platform/mci/McisendRecovery.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "platform/mci/LeftTakes.h"

namespace tapelark {

const char* const kRecoveryUsage =
    "\n"
    "usage: mcisend --list-recoverable | --recover ID PATH | --discard ID\n"
    "--list-recoverable prints each take that a program which died left unsaved:\n"
    "ID<TAB>SECONDS<TAB>STARTED<TAB>INPUT. --recover saves one as a WAVE file at PATH\n"
    "(replacing a file there) and then forgets it; --discard throws one away.\n";

namespace {

// Local time with its offset, as ISO 8601 writes it: 2026-12-07T21:03:05+01:00.
std::string Iso8601(std::int64_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    char text[40] = "";
    if (!localtime_r(&t, &local)) return "unknown";
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string iso = text;
    if (iso.size() > 2) iso.insert(iso.size() - 2, ":");
    return iso;
}

int List(std::ostream& out, std::ostream& err) {
    for (const LeftTake& take : FindLeftTakes()) {
        if (const std::string problem = take.Problem(); !problem.empty()) {
            err << "mcisend: take " << take.id << " is left alone: " << problem << " (mcisend --discard " << take.id
                << " throws it away)\n";
            continue;
        }
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f", take.Seconds());
        out << take.id << '\t' << seconds << '\t' << Iso8601(take.started) << '\t'
            << (take.described ? take.input : "unknown") << '\n';
    }
    return 0;
}

int Report(const std::string& reason, std::ostream& err) {
    if (reason.empty()) return 0;
    err << "mcisend: " << reason << '\n';
    return 1;
}

}  // namespace

std::optional<int> RunRecoveryOption(int argc, char** argv, std::ostream& out, std::ostream& err) {
    if (argc < 2) return std::nullopt;
    const std::string option = argv[1];
    const int operands = argc - 2;
    if (option == "--list-recoverable" && operands == 0) return List(out, err);
    if (option == "--recover" && operands == 2) return Report(RecoverTake(argv[2], argv[3]), err);
    if (option == "--discard" && operands == 1) return Report(DiscardTake(argv[2]), err);
    if (option != "--list-recoverable" && option != "--recover" && option != "--discard") return std::nullopt;
    err << "usage: mcisend --list-recoverable | --recover ID PATH | --discard ID\n";
    return 2;
}

}  // namespace tapelark
