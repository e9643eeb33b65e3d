#include "autostart/autostart.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "link_reader.h"
#include "paths/paths.h"
#include "temp_dir.h"

namespace {

// A throwaway folder stands in for the Startup folder; the program directory
// is another one.
class ToggleAutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramName = "Tarvolin";
        ProgramVersion = "1.0.0";
        CoInitialize(nullptr);
        startup_ = startupDir_.path();
        program_ = programDir_.path();
        link_ = startup_ + "Tarvolin.lnk";
    }
    void TearDown() override { CoUninitialize(); }

    bool LinkExists() { return ProbeFileSize(link_.c_str()) != kProbeMissing; }

    TempDir startupDir_{"startup"};
    TempDir programDir_{"program"};
    std::string startup_, program_, link_;
};

TEST_F(ToggleAutostartTest, OffToOnWritesTheShortcutAndOnToOffDeletesIt) {
    EXPECT_FALSE(AutostartPresentIn(startup_.c_str()));

    EXPECT_TRUE(ToggleAutostartIn(startup_.c_str(), program_.c_str()));
    LinkFields read = ReadLink(link_);
    ASSERT_TRUE(read.loaded);
    EXPECT_EQ(read.target, Wide(program_ + "Tarvolin.exe"));
    EXPECT_EQ(read.workingDirectory, Wide(program_));
    EXPECT_EQ(read.arguments, L"");
    EXPECT_EQ(read.description, L"");
    EXPECT_EQ(read.showCommand, SW_SHOWNORMAL);
    EXPECT_EQ(read.hotkey, 0);
    EXPECT_EQ(read.iconFile, Wide(program_ + "Tarvolin.exe"));
    EXPECT_EQ(read.iconIndex, 0);
    EXPECT_TRUE(AutostartPresentIn(startup_.c_str()));

    EXPECT_FALSE(ToggleAutostartIn(startup_.c_str(), program_.c_str()));
    EXPECT_FALSE(LinkExists());
    EXPECT_FALSE(AutostartPresentIn(startup_.c_str()));
}

TEST_F(ToggleAutostartTest, DirectoryNamedLikeTheShortcutStaysOn) {
    CreateDirectoryA(link_.c_str(), nullptr);
    EXPECT_TRUE(AutostartPresentIn(startup_.c_str()));
    // The delete cannot remove a directory, and the mark tells the truth.
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(ToggleAutostartIn(startup_.c_str(), program_.c_str())) << i;
        EXPECT_EQ(ProbeFileSize(link_.c_str()), kProbeDirectory);
    }
}

TEST_F(ToggleAutostartTest, ChangesMadeByOthersAreActedOnAtTheNextToggle) {
    // Removed by hand while on: the next toggle writes a new shortcut.
    ASSERT_TRUE(ToggleAutostartIn(startup_.c_str(), program_.c_str()));
    ASSERT_TRUE(DeleteFileA(link_.c_str()));
    EXPECT_TRUE(ToggleAutostartIn(startup_.c_str(), program_.c_str()));
    EXPECT_TRUE(ReadLink(link_).loaded);

    // Put there by someone else while off: the next toggle deletes it.
    ASSERT_FALSE(ToggleAutostartIn(startup_.c_str(), program_.c_str()));
    startupDir_.WriteFile("Tarvolin.lnk", 5);
    EXPECT_TRUE(AutostartPresentIn(startup_.c_str()));
    EXPECT_FALSE(ToggleAutostartIn(startup_.c_str(), program_.c_str()));
    EXPECT_FALSE(LinkExists());
}

TEST_F(ToggleAutostartTest, UnwritableStartupFolderReadsOff) {
    std::string missing = startup_ + "gone\\";
    EXPECT_FALSE(ToggleAutostartIn(missing.c_str(), program_.c_str()));
    EXPECT_EQ(ProbeFileSize((missing + "Tarvolin.lnk").c_str()), kProbeMissing);

    std::string blocker = startupDir_.WriteFile("file-not-folder", 3) + "\\";
    EXPECT_FALSE(ToggleAutostartIn(blocker.c_str(), program_.c_str()));
}

TEST_F(ToggleAutostartTest, UnknownStartupFolderWritesAndDeletesNothing) {
    // With no Startup folder the link path must not become relative to the
    // current directory (which is the program's).
    CurrentDirectoryScope restore;
    ASSERT_TRUE(SetCurrentDirectoryA(program_.c_str()));
    EXPECT_FALSE(ToggleAutostartIn("", program_.c_str()));
    EXPECT_EQ(ProbeFileSize("Tarvolin.lnk"), kProbeMissing);

    programDir_.WriteFile("Tarvolin.lnk", 7);
    EXPECT_FALSE(AutostartPresentIn(""));
    EXPECT_FALSE(ToggleAutostartIn("", program_.c_str()));
    EXPECT_EQ(ProbeFileSize("Tarvolin.lnk"), 7) << "nothing deleted beside the program";
}

}  // namespace
