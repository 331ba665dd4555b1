// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/linux/ProgramLauncher.h"
#include "platform/linux/X11WindowSystem.h"
#include "tests/linux/LaunchTestSupport.h"

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

TEST(LaunchDetached, StartsTheProgramInItsOwnSessionWithoutWaitingForIt) {
    TempFolder folder{"tapelark-launch"};
    StandInEmulator emulator(folder.path());
    ASSERT_TRUE(LaunchDetached({emulator.script(), "one", "two words"}));
    ASSERT_TRUE(emulator.AwaitStart());
    const auto log = emulator.Log();
    ASSERT_EQ(log.size(), 1u);
    std::istringstream fields(log[0]);
    pid_t pid = 0, parent = 0, session = 0;
    fields >> pid >> parent >> session;
    EXPECT_NE(parent, getpid());  // handed over, not our child
    EXPECT_NE(session, getsid(0));
    std::string rest;
    std::getline(fields, rest);
    EXPECT_EQ(rest, " one two words");
}

TEST(LaunchDetached, MissingOrBlankProgramFailsWithoutRunningAnything) {
    TempFolder folder{"tapelark-launch"};
    const std::string marker = folder.path() + "/marker";
    X11WindowSystem windows(":no-such-display");
    EXPECT_FALSE(windows.Launch(folder.path() + "/absent; touch " + marker, kShowNormal));
    EXPECT_FALSE(windows.Launch("touch " + marker, kShowNormal));
    EXPECT_FALSE(windows.Launch("", kShowNormal));
    EXPECT_FALSE(LaunchDetached({folder.path()}));  // a folder is no program
    WriteText(marker + ".txt", "not executable");
    EXPECT_FALSE(LaunchDetached({marker + ".txt"}));
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(LaunchDetached, WorksWithoutADisplayAndFindsProgramsOnThePath) {
    TempFolder folder{"tapelark-launch"};
    StandInEmulator emulator(folder.path(), "standin-vgs");
    const char* path = std::getenv("PATH");
    const std::string saved = path != nullptr ? path : "";
    setenv("PATH", (folder.path() + ":" + saved).c_str(), 1);
    X11WindowSystem windows(":no-such-display");
    const bool launched = windows.Launch("standin-vgs", kShowNormal);
    setenv("PATH", saved.c_str(), 1);
    ASSERT_TRUE(launched);
    EXPECT_TRUE(emulator.AwaitStart());
    EXPECT_EQ(emulator.Log().size(), 1u);
}

}  // namespace
}  // namespace tapelark::testing
