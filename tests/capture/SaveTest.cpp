// SPDX-License-Identifier: MIT
#include <optional>

#include <gtest/gtest.h>

#include "tests/capture/Harness.h"

namespace tapelark::testing {
namespace {

using Files = std::map<std::string, std::string>;
using Strings = std::vector<std::string>;

// What the multimedia system does with the file it is told to save.
enum class Outcome { Writes, Refuses, LeavesPiece };  // a piece: as some do when they fail
using enum Outcome;

struct WritingMci : FakeMciChannel {
    FakeFileSystem* files = nullptr;
    Outcome outcome = Writes;
    std::uint32_t SendString(const char* command, char* reply, std::uint32_t length,
                             std::uintptr_t window) override {
        FakeMciChannel::SendString(command, reply, length, window);
        std::string path = std::string(command).substr(std::string("save capture ").size());
        if (path.front() == '"') path = path.substr(1, path.size() - 2);
        if (outcome != Refuses) files->files[path] = outcome == Writes ? "new take" : "half";
        return outcome == Writes ? 0 : 275;
    }
};

struct Saving : CaptureHarness<WritingMci> {
    Saving() { mci.files = &files; }
};

// winmm's save deletes an old file first and moves the file it saved last
// when the take is saved again: its saves go to a name beside the user's.
TEST(Save, TheNewFileIsWrittenBesideAndTakesItsPlaceOnlyWhenWholeUnlessTheSaveDoesSoItself) {
    const struct {
        std::string path;
        std::optional<std::string> old;  // what the path held
        std::string leftover;            // what an earlier save left beside
        bool held;                       // still open, so that it cannot be removed
        Outcome outcome;
        std::string sent;
        bool oneStep = false;
    } cases[] = {
        {"/music/audio.wav", std::nullopt, "", false, Writes, "save capture /music/.tapelark-save-1.wav"},
        {"/my music/a b.wav", std::nullopt, "", false, Writes,
         "save capture \"/my music/.tapelark-save-1.wav\""},
        {"/m/a b.wav", "", "", false, Writes, "save capture /m/.tapelark-save-1.wav"},
        {"/m\tx/a.wav", std::nullopt, "", false, Writes, "save capture \"/m\tx/.tapelark-save-1.wav\""},
        {"/music/audio.wav", "old take", "", false, Writes, "save capture /music/.tapelark-save-1.wav"},
        {"a.wav", "old take", "", false, Writes, "save capture .tapelark-save-1.wav"},
        {"/m/a.wav", "old take", "/m/.tapelark-save-1.wav", false, Writes,
         "save capture /m/.tapelark-save-1.wav"},
        {"C:\\rec\\a.wav", "old take", "C:\\rec\\.tapelark-save-1.wav", true, Writes,
         "save capture C:\\rec\\.tapelark-save-2.wav"},
        {"/m/a.wav", "old take", "", false, Refuses, "save capture /m/.tapelark-save-1.wav"},
        {"/m/a.wav", "old take", "", false, LeavesPiece, "save capture /m/.tapelark-save-1.wav"},
        {"/my music/a.wav", std::nullopt, "", false, Refuses,
         "save capture \"/my music/.tapelark-save-1.wav\""},
        {"/m/a.wav", "old take", "", false, Writes, "save capture /m/a.wav", true},
        {"/my music/a b.wav", std::nullopt, "", false, Writes, "save capture \"/my music/a b.wav\"", true},
        {"/m/a.wav", "old take", "", false, Refuses, "save capture /m/a.wav", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        Saving h;
        if (c.old) h.files.files[c.path] = *c.old;
        if (!c.leftover.empty()) h.files.files[c.leftover] = "an earlier take";
        if (c.held) h.files.failing.insert("remove " + c.leftover);
        h.mci.outcome = c.outcome;
        h.mci.savesInOneStep = c.oneStep;
        Files expected = c.outcome == Writes ? Files{{c.path, "new take"}} : h.files.files;
        if (c.held) expected[c.leftover] = "an earlier take";
        h.engine.SaveCaptureAs(c.path);
        EXPECT_EQ(h.mci.calls, Strings{c.sent});
        EXPECT_EQ(h.files.files, expected);  // and nothing left beside it
        const Strings told{"Saving file failed, file name was: " + c.path};
        EXPECT_EQ(h.messages.Texts(), c.outcome == Writes ? Strings{} : told);
    }
}

TEST(Save, AReplaceThatFailsIsRaisedAndTheNewFileRemoved) {
    Saving h;
    h.files.files["/m/a.wav"] = "old take";
    h.files.failing.insert("replace /m/.tapelark-save-1.wav");
    EXPECT_THROW(h.engine.SaveCaptureAs("/m/a.wav"), FileError);
    EXPECT_EQ(h.files.files, (Files{{"/m/a.wav", "old take"}}));
    EXPECT_TRUE(h.messages.shown.empty());
}

}  // namespace
}  // namespace tapelark::testing
