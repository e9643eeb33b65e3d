// The "Autostart" command of the real program, against the throwaway
// prefix's Startup folder.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "harness.h"
#include "link_reader.h"

namespace {

std::string StartupLink() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Tarvolin.lnk";
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A UTF-16 text with every character beyond ASCII spelled as U+XXXX, for
// the test log.
std::string Spelled(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        char unit[16];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(unit, sizeof(unit), "U+%04X", static_cast<unsigned>(c));
            out += unit;
        }
    }
    return out;
}

class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Only ever inside a throwaway Wine prefix, never a real user's profile.
        const char* prefix = getenv("WINEPREFIX");
        ASSERT_TRUE(prefix && strstr(prefix, "tarvolin-wine")) << "run through scripts/test.sh";
        link_ = StartupLink();
        DeleteFileA(link_.c_str());
        CoInitialize(nullptr);
    }
    void TearDown() override {
        DeleteFileA(link_.c_str());
        CoUninitialize();
    }
    // Sends the "Autostart" command and reads back the shortcut it writes.
    LinkFields ToggleOnAndRead(const RunningTool& tool) {
        PostMessageA(tool.window, WM_COMMAND, 1, 0);
        if (!WaitUntil([&] { return Exists(link_); }, 5000)) return LinkFields();
        PumpMessages(200);  // let the writer finish the file it created
        return ReadLink(link_);
    }

    std::string link_;
};

TEST_F(AutostartTest, CommandOneWritesTheShortcutAndAgainDeletesIt) {
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir));

    LinkFields read = ToggleOnAndRead(tool);
    ASSERT_TRUE(read.loaded);
    EXPECT_EQ(read.target, Wide(folder.exe));
    EXPECT_EQ(read.workingDirectory, Wide(folder.dir));
    EXPECT_EQ(read.iconFile, Wide(folder.exe));
    EXPECT_EQ(read.iconIndex, 0);
    EXPECT_EQ(read.showCommand, SW_SHOWNORMAL);

    PostMessageA(tool.window, WM_COMMAND, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(link_); }, 5000));

    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);
}

TEST_F(AutostartTest, ShortcutFromAWindows1252DirectoryNamesItExactly) {
    ASSERT_EQ(GetACP(), 1252u);
    ProgramFolder folder("Tarvolin.exe", true, "Gr\xF6\xDF" "e \xC4\xD6\xDC \xE9");
    ProgramFolder elsewhere("other.txt", false, "elsewhere");
    RunningTool tool;
    // Started from another directory: the check makes the program's own current.
    ASSERT_TRUE(StartTool(tool, folder.exe, elsewhere.dir));
    LinkFields read = ToggleOnAndRead(tool);
    ASSERT_TRUE(read.loaded);
    std::printf("[autostart] read back: target %s, start in %s\n", Spelled(read.target).c_str(),
                Spelled(read.workingDirectory).c_str());
    std::wstring expectedDir = Wide(folder.dir);
    ASSERT_NE(expectedDir.find(L"Gr\u00F6\u00DFe \u00C4\u00D6\u00DC \u00E9"), std::wstring::npos);
    EXPECT_EQ(read.target, expectedDir + L"Tarvolin.exe");
    EXPECT_EQ(read.workingDirectory, expectedDir);
    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);
}

TEST_F(AutostartTest, CurrentDirectoryHoldingTarvolinExeIsKeptAsTheTarget) {
    // A file or a directory named Tarvolin.exe in the current directory passes
    // the check there, and the shortcut then points into that directory.
    for (bool asDirectory : {false, true}) {
        ProgramFolder folder;
        ProgramFolder current("placeholder.txt", false, "current");
        std::string stand = current.dir + "Tarvolin.exe";
        if (asDirectory)
            CreateDirectoryA(stand.c_str(), nullptr);
        else
            CloseHandle(CreateFileA(stand.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        RunningTool tool;
        ASSERT_TRUE(StartTool(tool, folder.exe, current.dir)) << asDirectory;
        EXPECT_EQ(FindMessageBox(tool.process.dwProcessId).window, nullptr);
        LinkFields read = ToggleOnAndRead(tool);
        ASSERT_TRUE(read.loaded) << asDirectory;
        EXPECT_EQ(read.target, Wide(stand)) << asDirectory;
        EXPECT_EQ(read.workingDirectory, Wide(current.dir)) << asDirectory;
        PostMessageA(tool.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(tool.WaitExit(5000), 0);
        DeleteFileA(link_.c_str());
    }
}

}  // namespace
