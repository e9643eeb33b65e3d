#include "autostart/shell_link.h"

#include <gtest/gtest.h>

#include "link_reader.h"
#include "paths/paths.h"
#include "temp_dir.h"

namespace {

class CreateShellLinkTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitialize(nullptr); }  // as the program's main thread has it
    void TearDown() override { CoUninitialize(); }
    TempDir dir_;
};

TEST_F(CreateShellLinkTest, EveryFieldReadsBack) {
    std::string target = dir_.WriteFile("Tool.exe", 10);
    struct Case {
        const char* name;
        std::string workingDirectory, arguments, description, iconFile;
        int showCommand, hotkey, iconIndex;
        std::wstring expectedDirectory, expectedIcon;
    } cases[] = {
        {"all-given.lnk", "C:\\Work\\", "/a \"b c\"", "Eine Beschreibung", "C:\\icons.dll", SW_SHOWMINNOACTIVE,
         MAKEWORD('T', HOTKEYF_CONTROL | HOTKEYF_ALT), 3, L"C:\\Work\\", L"C:\\icons.dll"},
        {"defaults.lnk", "", "", "", "|", SW_SHOWNORMAL, 0, 0, Wide(dir_.path()), Wide(target)},
        {"maximised.lnk", "D:\\", "x", "", "|", SW_SHOWMAXIMIZED, 0, 2, L"D:\\", Wide(target)},
    };
    for (const Case& c : cases) {
        std::string link = dir_.path() + c.name;
        EXPECT_EQ(CreateShellLink(target.c_str(), link.c_str(), c.workingDirectory.c_str(), c.arguments.c_str(),
                                  c.showCommand, c.description.c_str(), c.hotkey, c.iconFile.c_str(), c.iconIndex),
                  1)
            << c.name;
        LinkFields read = ReadLink(link);
        ASSERT_TRUE(read.loaded) << c.name;
        EXPECT_EQ(read.target, Wide(target)) << c.name;
        EXPECT_EQ(read.arguments, Wide(c.arguments)) << c.name;
        EXPECT_EQ(read.workingDirectory, c.expectedDirectory) << c.name;
        EXPECT_EQ(read.description, Wide(c.description)) << c.name;
        EXPECT_EQ(read.showCommand, c.showCommand) << c.name;
        EXPECT_EQ(read.hotkey, c.hotkey) << c.name;
        EXPECT_EQ(read.iconFile, c.expectedIcon) << c.name;
        EXPECT_EQ(read.iconIndex, c.iconIndex) << c.name;
    }
}

TEST_F(CreateShellLinkTest, Windows1252TextsArriveAsTheirUnicodeCharacters) {
    ASSERT_EQ(GetACP(), 1252u) << "the test expects a Western European code page";
    std::string folder = dir_.MakeDir("Gr\xF6\xDF" "e \xC4rger") + "\\";
    std::string target = folder + "Tarvolin.exe";
    std::string link = folder + "\xDC" "ber.lnk";
    ASSERT_EQ(CreateShellLink(target.c_str(), link.c_str(), "", "\xE9t\xE9", 1, "Gr\xFC\xDF" "e \x80", 0, "|", 0), 1);
    LinkFields read = ReadLink(link);
    ASSERT_TRUE(read.loaded);
    std::wstring wideFolder = Wide(dir_.path()) + L"Gr\u00F6\u00DFe \u00C4rger\\";
    EXPECT_EQ(read.target, wideFolder + L"Tarvolin.exe");
    EXPECT_EQ(read.workingDirectory, wideFolder);
    EXPECT_EQ(read.arguments, L"\u00E9t\u00E9");
    EXPECT_EQ(read.description, L"Gr\u00FC\u00DFe \u20AC");  // 0x80 is the euro sign
    EXPECT_EQ(read.iconFile, wideFolder + L"Tarvolin.exe");
}

TEST_F(CreateShellLinkTest, UnwritableLinkGivesZeroAndNoFile) {
    std::string target = dir_.WriteFile("Tool.exe", 10);
    std::string blocker = dir_.WriteFile("a-file", 1);  // a file where a folder is needed
    const std::string links[] = {
        dir_.path() + "no-such-folder\\Tarvolin.lnk",
        blocker + "\\Tarvolin.lnk",
    };
    for (const std::string& link : links) {
        EXPECT_EQ(CreateShellLink(target.c_str(), link.c_str(), "", "", 1, "", 0, "|", 0), 0) << link;
        EXPECT_EQ(ProbeFileSize(link.c_str()), kProbeMissing) << link;
    }
}

TEST_F(CreateShellLinkTest, LeavesTheCallersComInitialisationInForce) {
    std::string target = dir_.WriteFile("Tool.exe", 10);
    std::string link = dir_.path() + "x.lnk";
    ASSERT_EQ(CreateShellLink(target.c_str(), link.c_str(), "", "", 1, "", 0, "|", 0), 1);
    // Still initialised here: a nested CoInitialize answers S_FALSE.
    HRESULT again = CoInitialize(nullptr);
    EXPECT_EQ(again, S_FALSE);
    if (SUCCEEDED(again)) CoUninitialize();
}

}  // namespace
