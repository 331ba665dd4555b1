// SPDX-License-Identifier: MIT
#include "window/OfferUnsavedTakes.h"

#include <chrono>
#include <cstdio>

#include "capture/WaveRecording.h"
#include "common/ApplicationTitle.h"
#include "window/ShowSaveDialog.h"
#include "window/formPlay.h"

namespace tapelark {
namespace {

std::chrono::sys_days DayOf(const LocalTime& t) {
    using namespace std::chrono;
    return sys_days{year{t.year} / month{static_cast<unsigned>(t.month)} / day{static_cast<unsigned>(t.day)}};
}

}  // namespace

std::string TakeLengthAndStart(double seconds, const LocalTime& started, const LocalTime& now) {
    const long total = seconds > 0 ? static_cast<long>(seconds) : 0;
    char length[48];
    if (total >= 3600)
        std::snprintf(length, sizeof length, "%ld h %ld min %ld s", total / 3600, total / 60 % 60, total % 60);
    else if (total >= 60)
        std::snprintf(length, sizeof length, "%ld min %ld s", total / 60, total % 60);
    else
        std::snprintf(length, sizeof length, "%ld s", total);
    char day[16];
    const auto days = (DayOf(now) - DayOf(started)).count();
    if (days == 0) std::snprintf(day, sizeof day, "today");
    else if (days == 1) std::snprintf(day, sizeof day, "yesterday");
    else std::snprintf(day, sizeof day, "%04d-%02d-%02d", started.year, started.month, started.day);
    char text[96];
    std::snprintf(text, sizeof text, "%s from %s %02d:%02d", length, day, started.hour, started.minute);
    return text;
}

void OfferUnsavedTakes(TakeRecovery& takes, Questions& questions, SaveFileDialog& dialog,
                       ProgramEnvironment& environment, MessageBoxes& messages, std::uintptr_t owner) {
    const LocalTime now = takes.Now();
    for (const UnsavedTake& take : takes.UnsavedTakes()) {
        const std::string what = TakeLengthAndStart(take.seconds, take.started, now);
        if (questions.AskYesNo("A recording of " + what + " was not saved. Save it now?", kApplicationTitle)) {
            const std::string path = ShowSaveDialog(dialog, environment, owner, kSaveFilter, kSaveTitle,
                                                    SaveDialogFolder(environment), kProposedFileName);
            if (path.empty()) continue;  // cancelled: kept for the next start
            const std::string failure = takes.Save(take.id, path);
            if (!failure.empty())
                messages.Show(std::string(kSaveFailedText) + path + "\r\n" + failure, kStyleOk, kApplicationTitle);
        } else if (questions.AskYesNo("Throw the recording of " + what + " away? It cannot be brought back.",
                                      kApplicationTitle)) {
            takes.Discard(take.id);
        }
    }
}

}  // namespace tapelark
