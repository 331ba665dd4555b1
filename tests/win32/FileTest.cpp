// SPDX-License-Identifier: MIT
// Saving beside the user's file and moving over it, on Wine's real file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32FileSaving.h"
#include "tests/win32/WineHelpers.h"

#include <mmsystem.h>

namespace tapelark {
namespace {

using namespace tapelark::testing;
using Names = std::vector<std::string>;

TEST(FileTest, TheNewFileIsWrittenBesideAndTakesTheOldOnesPlaceWholeOrNotAtAll) {
    TempFolder folder{"tapelark files"};  // a blank in every path below
    const std::string path = folder / "take.wav", beside = folder / ".tapelark-save-1.wav";
    Win32FileSaving saving;
    Names targets;
    // A save that writes `contents` at the name it is given and answers `code`.
    const auto writes = [&targets](const std::string& contents, std::uint32_t code = 0) -> FileSaving::Save {
        return [&targets, contents, code](const std::string& target) {
            targets.push_back(target);
            WriteFile(target, contents);
            return code;
        };
    };
    EXPECT_EQ(saving.SaveAs(path, writes("first")), 0u);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFile(beside, "what an earlier save left");
    EXPECT_EQ(saving.SaveAs(path, writes("second")), 0u);
    EXPECT_EQ(ReadFile(path), "second");
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(folder.Names(), Names{"take.wav"});

    // What winmm still holds is passed over.
    HANDLE held = CreateFileA(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(saving.SaveAs(path, writes("third")), 0u);
    CloseHandle(held);
    EXPECT_EQ(targets, (Names{beside, beside, folder / ".tapelark-save-2.wav"}));
    EXPECT_EQ(ReadFile(path), "third");

    // A refused save, a read-only old file (refused as winmm's own save
    // refuses it) and one in use keep the old file and leave nothing beside.
    targets.clear();
    EXPECT_EQ(saving.SaveAs(path, writes("a piece", MCIERR_FILE_NOT_SAVED)), MCIERR_FILE_NOT_SAVED);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(saving.SaveAs(path, writes("new")), MCIERR_FILE_NOT_SAVED);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(targets, Names{beside});
    held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    try {
        saving.SaveAs(path, writes("new"));
        ADD_FAILURE() << "saved over a file in use";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
    CloseHandle(held);
    EXPECT_EQ(ReadFile(path), "third");
    EXPECT_EQ(folder.Names(), Names{"take.wav"});
}

}  // namespace
}  // namespace tapelark
