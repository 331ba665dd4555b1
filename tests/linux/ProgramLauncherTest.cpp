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
    EXPECT_EQ(LaunchArguments("C:\\Program Files\\Connectix\\Virtual Game Station\\VGS.EXE"),
              (Args{"wine", "C:\\Program Files\\Connectix\\Virtual Game Station\\VGS.EXE"}));
    EXPECT_EQ(LaunchArguments("  \"C:\\Program Files\\VGS\\VGS.EXE\" -full \"two words\"  "),
              (Args{"wine", "C:\\Program Files\\VGS\\VGS.EXE", "-full", "two words"}));
    EXPECT_EQ(LaunchArguments("C:\\Games\\VGS.exe /cd d:"), (Args{"wine", "C:\\Games\\VGS.exe", "/cd", "d:"}));
    EXPECT_EQ(LaunchArguments("D:/Games/vgs.exe"), (Args{"wine", "D:/Games/vgs.exe"}));
    EXPECT_EQ(LaunchArguments("vgs.exe"), (Args{"wine", "vgs.exe"}));
    EXPECT_EQ(LaunchArguments("C:\\Odd.exes\\VGS.EXE"), (Args{"wine", "C:\\Odd.exes\\VGS.EXE"}));
    EXPECT_EQ(LaunchArguments("/opt/vgs/stand in.sh"), (Args{"/opt/vgs/stand in.sh"}));
    EXPECT_EQ(LaunchArguments("/bin/echo; rm -rf ~ `x` $(y) | z"), (Args{"/bin/echo; rm -rf ~ `x` $(y) | z"}));
    EXPECT_EQ(LaunchArguments(std::string("/bin/true\0 extra", 16)), (Args{"/bin/true"}));
    EXPECT_EQ(LaunchArguments(""), Args{});
    EXPECT_EQ(LaunchArguments("   "), Args{});
    EXPECT_EQ(LaunchArguments("\"\" x"), Args{});
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
