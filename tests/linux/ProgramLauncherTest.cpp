// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "platform/linux/ProgramLauncher.h"
#include "platform/linux/X11WindowSystem.h"
#include "tests/linux/StandInEmulator.h"

namespace tapelark::testing {
namespace {

using Args = std::vector<std::string>;

TEST(LaunchArguments, WindowsProgramsGoToWineAndTheTextIsNeverSplitForAShell) {
    const std::string vgs = "C:\\Program Files\\Connectix\\Virtual Game Station\\VGS.EXE";
    const std::pair<std::string, Args> cases[] = {
        {vgs, {"wine", vgs}},
        {"  \"C:\\Program Files\\VGS\\VGS.EXE\" -full \"two words\"  ",
         {"wine", "C:\\Program Files\\VGS\\VGS.EXE", "-full", "two words"}},
        {"C:\\Games\\VGS.exe /cd d:", {"wine", "C:\\Games\\VGS.exe", "/cd", "d:"}},
        {"D:/Games/vgs.exe", {"wine", "D:/Games/vgs.exe"}},
        {"vgs.exe", {"wine", "vgs.exe"}},
        {"C:\\Odd.exes\\VGS.EXE", {"wine", "C:\\Odd.exes\\VGS.EXE"}},
        {"/opt/vgs/stand in.sh", {"/opt/vgs/stand in.sh"}},
        {"/bin/echo; rm -rf ~ `x` $(y) | z", {"/bin/echo; rm -rf ~ `x` $(y) | z"}},
        {std::string("/bin/true\0 extra", 16), {"/bin/true"}},
        {"", {}}, {"   ", {}}, {"\"\" x", {}},
    };
    for (const auto& [text, args] : cases) EXPECT_EQ(LaunchArguments(text), args) << text;
}

TEST(LaunchDetached, StartsInItsOwnSessionWithoutADisplayAndFindsProgramsOnThePath) {
    TempFolder folder{"tapelark-launch"};
    StandInEmulator emulator(folder, "standin-vgs");
    ASSERT_TRUE(LaunchDetached({emulator.script(), "one", "two words"}));
    ASSERT_TRUE(emulator.AwaitStarts(1));
    std::istringstream fields(emulator.Log()[0]);
    pid_t pid = 0, parent = 0, session = 0;
    fields >> pid >> parent >> session;
    EXPECT_NE(parent, getpid());  // handed over, not our child
    EXPECT_NE(session, getsid(0));
    std::string rest;
    std::getline(fields, rest);
    EXPECT_EQ(rest, " one two words");

    const char* path = std::getenv("PATH");
    const std::string saved = path != nullptr ? path : "";
    setenv("PATH", (folder.path() + ":" + saved).c_str(), 1);
    const bool launched = X11WindowSystem(":no-such-display").Launch("standin-vgs", kShowNormal);
    setenv("PATH", saved.c_str(), 1);
    EXPECT_TRUE(launched);
    EXPECT_TRUE(emulator.AwaitStarts(2));
}

TEST(LaunchDetached, MissingOrBlankProgramFailsWithoutRunningAnything) {
    TempFolder folder{"tapelark-launch"};
    const std::string marker = folder / "marker";
    X11WindowSystem windows(":no-such-display");
    EXPECT_FALSE(windows.Launch(folder / "absent; touch " + marker, kShowNormal));
    EXPECT_FALSE(windows.Launch("touch " + marker, kShowNormal));
    EXPECT_FALSE(windows.Launch("", kShowNormal));
    EXPECT_FALSE(LaunchDetached({folder.path()}));  // a folder is no program
    std::ofstream(marker + ".txt") << "not executable";
    EXPECT_FALSE(LaunchDetached({marker + ".txt"}));
    EXPECT_FALSE(std::filesystem::exists(marker));
}

}  // namespace
}  // namespace tapelark::testing
