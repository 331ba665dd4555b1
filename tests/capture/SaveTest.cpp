// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "tests/capture/Harness.h"

namespace tapelark::testing {
namespace {

using Strings = std::vector<std::string>;

TEST(Save, TheTargetGoesIntoTheCommandQuotedWhenItHasWhiteSpaceAndARefusalNamesTheUsersPath) {
    const struct {
        std::string path, beside;
        std::uint32_t code;
        std::string sent;
    } cases[] = {
        {"/music/audio.wav", "", 0, "save capture /music/audio.wav"},
        {"/my music/a b.wav", "", 0, "save capture \"/my music/a b.wav\""},
        {"/music/a\tb.wav", "", 0, "save capture \"/music/a\tb.wav\""},
        {"/music/audio.wav", "", 275, "save capture /music/audio.wav"},
        {"C:\\my music\\a.wav", "C:\\my music\\.tapelark-save-1.wav", 286,
         "save capture \"C:\\my music\\.tapelark-save-1.wav\""},
    };
    for (const auto& c : cases) {
        CaptureHarness h;
        h.saving.beside = c.beside;
        h.mci.Script(c.sent, {{c.code, ""}});
        h.capture.SaveCaptureAs(c.path);
        EXPECT_EQ(h.mci.calls, Strings{c.sent});
        EXPECT_EQ(h.messages.Texts(), c.code ? Strings{"Saving file failed, file name was: " + c.path} : Strings{});
    }
}

TEST(Save, AFailingFileStepIsRaisedNotReported) {
    CaptureHarness h;
    h.saving.fails = true;
    EXPECT_THROW(h.capture.SaveCaptureAs("/m/a.wav"), FileError);
    EXPECT_TRUE(h.messages.shown.empty());
}

}  // namespace
}  // namespace tapelark::testing
