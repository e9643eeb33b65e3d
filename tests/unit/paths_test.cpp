#include "paths/paths.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "temp_dir.h"
#include "text_printer.h"

namespace {

char MissingDriveLetter() {
    for (char letter = 'Y'; letter > 'D'; --letter) {
        char root[] = {letter, ':', '\\', 0};
        if (GetDriveTypeA(root) <= DRIVE_NO_ROOT_DIR) return letter;
    }
    return 0;
}

class ProbeFileSizeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.WriteFile("data.bin", 1234);
        dir_.WriteFile("empty.txt", 0);
        dir_.MakeDir("Tarvolin.exe");
        SetCurrentDirectoryA(dir_.path().c_str());
    }
    TempDir dir_;
    CurrentDirectoryScope restoreCurrentDirectory_;
};

TEST_F(ProbeFileSizeTest, NamesInTheCurrentDirectory) {
    struct Case {
        const char* path;
        int64_t expected;
    } cases[] = {
        {"data.bin", 1234},
        {"DATA.BIN", 1234},          // case is ignored
        {"empty.txt", 0},            // an empty file exists
        {"missing.bin", kProbeMissing},
        {"Tarvolin.exe", kProbeDirectory},  // a directory named like the file
        {"Tarvolin.exe\\", kProbeDirectory},
        {"data.bin\\\\\\", 1234},     // trailing backslashes are dropped
        {"dat?.bin", 1234},          // wildcards match
        {"data.*", 1234},
        {"*.none", kProbeMissing},
        {"", kProbeMissing},
        {"\\", kProbeMissing},       // only backslashes
        {"\\\\\\\\", kProbeMissing},
    };
    for (const Case& c : cases) EXPECT_EQ(ProbeFileSize(c.path), c.expected) << '"' << c.path << '"';
}

TEST_F(ProbeFileSizeTest, FullPathsAndAbsentArgument) {
    EXPECT_EQ(ProbeFileSize((dir_.path() + "data.bin").c_str()), 1234);
    EXPECT_EQ(ProbeFileSize(dir_.path().c_str()), kProbeDirectory);
    EXPECT_EQ(ProbeFileSize(nullptr), kProbeMissing);
}

TEST_F(ProbeFileSizeTest, OnlyTheFirst260CharactersCount) {
    // The name is cut after 260 characters, so what follows cannot matter.
    std::string padded = dir_.path() + "data.bin";
    while (padded.size() < MAX_PATH) padded.insert(padded.size() - 8, "\\");
    ASSERT_EQ(padded.size(), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(ProbeFileSize((padded + "-tail-beyond-the-limit").c_str()), ProbeFileSize(padded.c_str()));
}

TEST(ProbeDriveNames, AskTheDriveNotTheFileSystem) {
    char missing = MissingDriveLetter();
    ASSERT_NE(missing, 0) << "every drive letter is in use";
    std::string m(1, missing);
    struct Case {
        std::string path;
        int64_t expected;
    } cases[] = {
        {"C:", kProbeDirectory},
        {"C:\\", kProbeDirectory},
        {"c:", kProbeDirectory},
        {m + ":", kProbeMissing},
        {m + ":\\", kProbeMissing},
        {m + ":x", kProbeMissing},
    };
    for (const Case& c : cases) EXPECT_EQ(ProbeFileSize(c.path.c_str()), c.expected) << c.path;
}

TEST_F(ProbeFileSizeTest, DriveRelativeNameIsNeverLookedUpAsAFile) {
    // "C:x" would name the file x in drive C's current directory, which is here.
    ASSERT_EQ(dir_.path().substr(0, 2), "C:");
    dir_.WriteFile("x", 77);
    ASSERT_EQ(ProbeFileSize("x"), 77);
    EXPECT_LT(ProbeFileSize("C:x"), 0);
}

TEST(DirectoryOf, Table) {
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"C:\\Tools\\Tarvolin.exe", "C:\\Tools\\"},
        {"Tarvolin.exe", ""},
        {"", ""},
        {"\"C:\\Tools\\Tarvolin.exe\"", "C:\\Tools\\"},  // the leading quote is not part of it
        {"C:\\a|b\\c", "C:\\"},                           // the scan stops at '|'
        {"|C:\\a\\b", ""},
        {"C:/Tools/x.exe", "C:/Tools/"},
        {"C:\\Tools\\", "C:\\Tools\\"},
        {"\\\\server\\share\\x", "\\\\server\\share\\"},
        {"C:\\", "C:\\"},
        {"C:", ""},
        {"\"", ""},
        {"dir\\sub/file", "dir\\sub/"},
        {"G\xF6\xDF" "e\\x.exe", "G\xF6\xDF" "e\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(DirectoryOf(c.path), c.expected) << c.path;
    EXPECT_EQ(DirectoryOf(nullptr), "");
}

TEST(ModuleFilePath, NamesTheRunningTestProgram) {
    std::string path = ModuleFilePath().c_str();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), ".exe");
    EXPECT_GE(ProbeFileSize(path.c_str()), 1024);
    EXPECT_EQ(ProbeFileSize(DirectoryOf(path.c_str()).c_str()), kProbeDirectory);
}

TEST(CurrentDirectoryPath, EndsWithOneBackslash) {
    CurrentDirectoryScope restore;
    TempDir dir;
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    EXPECT_EQ(CurrentDirectoryPath(), dir.path().c_str());
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(CurrentDirectoryPath(), "C:\\");
}

TEST(CurrentDirectoryPath, DirectoryLongerThanMaxPathIsReturnedWhole) {
    CurrentDirectoryScope restore;
    TempDir dir("long");
    // Build a chain of folders well past 260 characters with the wide calls.
    std::string expected = dir.path();
    std::wstring wide = L"\\\\?\\" + std::wstring(expected.begin(), expected.end());
    for (int level = 0; level < 8; ++level) {
        std::string leaf(40, static_cast<char>('a' + level));
        expected += leaf + "\\";
        wide += std::wstring(leaf.begin(), leaf.end()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr)) << GetLastError();
    }
    ASSERT_GT(expected.size(), 300u);
    ASSERT_TRUE(SetCurrentDirectoryW(wide.c_str())) << GetLastError();
    EXPECT_EQ(CurrentDirectoryPath(), expected.c_str());
}

TEST(SpecialFolderPath, StartupFolderEndsWithBackslash) {
    std::string startup = SpecialFolderPath(CSIDL_STARTUP).c_str();
    ASSERT_FALSE(startup.empty());
    EXPECT_EQ(startup.back(), '\\');
    EXPECT_NE(startup[startup.size() - 2], ' ');  // no blank padding before the separator
    EXPECT_EQ(ProbeFileSize(startup.c_str()), kProbeDirectory);
}

TEST(SpecialFolderPath, UnknownFolderGivesEmptyString) {
    // 0x00FE is no folder the shell knows; 0x0003 (control panel) has no path.
    EXPECT_EQ(SpecialFolderPath(0x00FE), "");
    EXPECT_EQ(SpecialFolderPath(CSIDL_CONTROLS), "");
}

}  // namespace
