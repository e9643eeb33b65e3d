// The real Tarvolin.exe in the Wine virtual desktop: its hidden window, the
// program-file check, the taskbar around full-screen windows, the menu
// commands and the end.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;
// A watcher pass every 100 ms; allow for a slow machine on top.
constexpr DWORD kOnePass = 600;

const char kInformationText[] =
    "Tarvolin 1.0.0\r\xA9 2012 Tarvolin-Team\rAlle Rechte vorbehalten.\rwww.tarvolin.example\r"
    "kontakt@tarvolin.example";
const char kErrorText[] =
    "Die Programmdatei ''Tarvolin.exe'' konnte im Programmverzeichnis nicht gefunden werden.\r"
    "Um das Problem beheben zu k\xF6nnen, instalieren Sie diese Anwendung neu.";

// The tool passed its program-file check: no box, and a close request ends it.
void ExpectRunsWithoutBoxAndEnds(RunningTool& tool) {
    EXPECT_EQ(FindMessageBox(tool.process.dwProcessId).window, nullptr);
    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);
}

class ResidentToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(BuiltProgramPath().empty()) << "Tarvolin.exe not found beside the tests";
        ASSERT_NE(Taskbar(), nullptr) << "no taskbar: the prefix must use the virtual desktop 'shell'";
        ResetTaskbar();
    }
    void TearDown() override { ResetTaskbar(); }
};

TEST_F(ResidentToolTest, HiddenWindowHasTitleAndStyleAndIsNeverShown) {
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir)) << "no hidden window appeared";
    char title[64] = {};
    GetWindowTextA(tool.window, title, sizeof(title));
    EXPECT_STREQ(title, "Tarvolin 1.0.0");
    DWORD style = static_cast<DWORD>(GetWindowLongA(tool.window, GWL_STYLE));
    EXPECT_EQ(style & ~static_cast<DWORD>(WS_CLIPSIBLINGS), static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(GetWindowLongA(tool.window, GWL_EXSTYLE), 0);
    PumpMessages(300);
    for (HWND window : ProcessWindows(tool.process.dwProcessId, ""))
        EXPECT_FALSE(IsWindowVisible(window)) << "the program shows no window of its own";
}

TEST_F(ResidentToolTest, TaskbarAndStartButtonFollowFullScreenWindows) {
    StandInStartButton button;  // before the tool starts, so the watcher finds it
    ASSERT_NE(button.window, nullptr);
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir)) << "no hidden window appeared";
    PumpMessages(300);
    ASSERT_TRUE(TaskbarVisible());

    for (FullScreenWindow::Look look : {FullScreenWindow::Shown, FullScreenWindow::Hidden, FullScreenWindow::Minimised}) {
        {
            FullScreenWindow fullScreen(look);
            ASSERT_NE(fullScreen.window, nullptr);
            EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass)) << "look " << look;
            EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(button.window); }, kOnePass)) << "look " << look;

            // Shown from outside during full screen: hidden again on a later pass.
            ShowWindow(Taskbar(), SW_SHOW);
            EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass)) << "look " << look;
        }
        EXPECT_TRUE(WaitUntil([] { return TaskbarVisible(); }, kOnePass)) << "look " << look;
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(button.window) != FALSE; }, kOnePass)) << "look " << look;
    }
}

TEST_F(ResidentToolTest, FullScreenWindowPresentAtStartIsHandled) {
    FullScreenWindow fullScreen;
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir)) << "no hidden window appeared";
    EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass));
}

TEST_F(ResidentToolTest, InformationCommandShowsTheBox) {
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir)) << "no hidden window appeared";
    PostMessageA(tool.window, WM_COMMAND, 2, 0);
    MessageBoxSeen box;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(tool.process.dwProcessId)).window != nullptr; }, 5000));
    EXPECT_EQ(box.title, "Informationen");
    EXPECT_EQ(box.text, kInformationText);
    EXPECT_NE(box.icon, nullptr);
    // The watcher keeps working while the box is open.
    {
        FullScreenWindow fullScreen;
        EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass));
    }
    EXPECT_TRUE(WaitUntil([] { return TaskbarVisible(); }, kOnePass));
    CloseMessageBox(box);
    EXPECT_TRUE(WaitUntil([&] { return FindMessageBox(tool.process.dwProcessId).window == nullptr; }, 5000));
    EXPECT_TRUE(tool.Running());
}

// Both ways to end: the "Beenden" command and a close request; also while
// full screen has the taskbar hidden, which must not leave it hidden.
TEST_F(ResidentToolTest, QuitAndCloseEndWithCodeZeroAndTheTaskbarBack) {
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        bool fullScreen;
    } cases[] = {
        {"Beenden", WM_COMMAND, 3, false},
        {"WM_CLOSE", WM_CLOSE, 0, false},
        {"Beenden during full screen", WM_COMMAND, 3, true},
        {"WM_CLOSE during full screen", WM_CLOSE, 0, true},
    };
    for (const Case& c : cases) {
        StandInStartButton button;
        ProgramFolder folder;
        RunningTool tool;
        ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir)) << "no hidden window appeared";
        FullScreenWindow* fullScreen = nullptr;
        if (c.fullScreen) {
            fullScreen = new FullScreenWindow();
            ASSERT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass)) << c.name;
        }
        PostMessageA(tool.window, c.message, c.wParam, 0);
        EXPECT_EQ(tool.WaitExit(5000), 0) << c.name;
        EXPECT_TRUE(TaskbarVisible()) << c.name;
        EXPECT_TRUE(IsWindowVisible(button.window)) << c.name;
        // And it stays so: no watcher left behind to hide it again.
        PumpMessages(300);
        EXPECT_TRUE(TaskbarVisible()) << c.name;
        delete fullScreen;
    }
}

TEST_F(ResidentToolTest, StartedFromAnotherDirectoryFindsItsProgramFile) {
    ProgramFolder folder;
    ProgramFolder elsewhere("unrelated.txt", false, "elsewhere");
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, elsewhere.dir));
    ExpectRunsWithoutBoxAndEnds(tool);
}

TEST_F(ResidentToolTest, ProgramFileUnderAnotherNameShowsTheErrorBoxAndEnds) {
    ProgramFolder folder("Umbenannt.exe", true, "renamed");
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir, {}, false));
    MessageBoxSeen box;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(tool.process.dwProcessId)).window != nullptr; }, 10000));
    EXPECT_EQ(box.title, "Fehler");
    EXPECT_EQ(box.text, kErrorText);
    EXPECT_NE(box.icon, nullptr);
    EXPECT_TRUE(ProcessWindows(tool.process.dwProcessId, "TarvolinGuiWindow").empty())
        << "the check runs before any window is opened";
    CloseMessageBox(box);
    EXPECT_EQ(tool.WaitExit(5000), 0);
}

TEST_F(ResidentToolTest, DirectoryNamedLikeTheProgramFilePassesTheCheck) {
    ProgramFolder folder("Umbenannt.exe", true, "renamed");
    CreateDirectoryA((folder.dir + "Tarvolin.exe").c_str(), nullptr);
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir));
    ExpectRunsWithoutBoxAndEnds(tool);
}

TEST_F(ResidentToolTest, MissingTrayImageStillRunsAndEndsCleanly) {
    ProgramFolder folder("Tarvolin.exe", false);
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir)) << "no hidden window appeared";
    {
        FullScreenWindow fullScreen;
        EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass)) << "the watcher runs";
    }
    EXPECT_TRUE(WaitUntil([] { return TaskbarVisible(); }, kOnePass));
    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);
}

TEST_F(ResidentToolTest, OnlyARightPressOnTheTrayIconOpensTheMenu) {
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir)) << "no hidden window appeared";
    auto menuOpen = [&] {
        for (HWND menu : ProcessWindows(tool.process.dwProcessId, "#32768"))
            if (IsWindowVisible(menu)) return true;
        return false;
    };
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_RBUTTONDBLCLK}) {
        PostMessageA(tool.window, kTrayCallback, 1, mouse);
        PumpMessages(300);
        EXPECT_FALSE(menuOpen()) << "mouse message " << mouse;
    }
    PostMessageA(tool.window, kTrayCallback, 1, WM_RBUTTONDOWN);
    EXPECT_TRUE(WaitUntil(menuOpen, 3000));
    // A close request while the menu is open ends the program after it.
    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);
}

TEST_F(ResidentToolTest, SecondInstanceRunsIndependently) {
    ProgramFolder folder;
    RunningTool first, second;
    ASSERT_TRUE(StartTool(first, folder.exe, folder.dir)) << "no hidden window appeared";
    ASSERT_TRUE(StartTool(second, folder.exe, folder.dir)) << "no hidden window appeared";
    EXPECT_NE(first.window, second.window);
    PostMessageA(first.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(5000), 0);
    // The second still watches.
    {
        FullScreenWindow fullScreen;
        EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass));
    }
    EXPECT_TRUE(WaitUntil([] { return TaskbarVisible(); }, kOnePass));
    PostMessageA(second.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(second.WaitExit(5000), 0);
}

}  // namespace
