// The shell restarts under the running tool: the process that owns the
// taskbar ends, a new process has made a new taskbar and announces it with
// "TaskbarCreated". The tool must put its tray icon back with its tooltip,
// and its watcher must hide and show the new taskbar.
//
// Wine cannot restart its own desktop shell in place: the desktop window
// outlives an ended explorer.exe, so a new "explorer /desktop=..." finds the
// desktop taken and quits at once, and the desktop's X window is gone with
// the old process. So this test runs in a desktop of its own, where the
// taskbars are stand-in processes (stand_in_shell.h) that can be ended and
// started like a shell, and that log the tray requests they receive: that
// log is how the test sees the icon and its tooltip. Wine's explorer still
// keeps a hidden window of the taskbar class in every desktop; the stand-ins
// are topmost so they are found first, and the new stand-in exists before
// the old one ends, so the gap in which only Wine's hidden window would be
// found is never there.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "harness.h"
#include "stand_in_shell.h"

namespace {

const char kDesktopName[] = "TarvolinShellRestart";
const char kInsideVariable[] = "TARVOLIN_E2E_OWN_DESKTOP";
constexpr DWORD kOnePass = 600;

std::string OwnPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Hex(HWND window) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

// A stand-in shell process writing to `log`.
struct ShellProcess {
    PROCESS_INFORMATION process = {};
    std::string log;
    explicit ShellProcess(const std::string& logFile) : log(logFile) {
        std::string commandLine = "\"" + OwnPath() + "\" --stand-in-shell \"" + log + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string desktop = CurrentDesktopName();
        startup.lpDesktop = &desktop[0];
        CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    }
    ~ShellProcess() {
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }
    bool OwnsTheTaskbar() const { return Taskbar() && Taskbar() == TaskbarWindow(); }
    // This process's window of the taskbar class, if it has made it.
    HWND TaskbarWindow() const {
        std::vector<HWND> windows = ProcessWindows(process.dwProcessId, "Shell_TrayWnd");
        return windows.empty() ? nullptr : windows.front();
    }
    bool Logged(const std::string& line) const { return ReadAll(log).find(line) != std::string::npos; }
};

TEST(ShellRestart, TrayIconComesBackWithItsTooltipAndTheNewTaskbarIsWatched) {
    ASSERT_EQ(CurrentDesktopName(), kDesktopName);
    {
        // The desktop's own process starts with the first window; let it make
        // its hidden taskbar-class window before the stand-ins come.
        FullScreenWindow first(FullScreenWindow::Hidden);
        ASSERT_TRUE(WaitUntil([] { return Taskbar() != nullptr; }, 5000));
    }
    HWND winesOwn = Taskbar();
    ASSERT_FALSE(IsWindowVisible(winesOwn)) << "this desktop must start without a visible shell";

    ProgramFolder folder;
    ShellProcess first(folder.dir + "first-shell.log");
    ASSERT_TRUE(WaitUntil([&] { return first.OwnsTheTaskbar(); }, 5000)) << "no stand-in taskbar";

    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir));
    std::string icon = Hex(tool.window) + " 1 ";
    // NIF_MESSAGE | NIF_ICON = 3, then NIF_TIP = 4 with the tooltip.
    EXPECT_TRUE(WaitUntil([&] { return first.Logged("ADD " + icon + "00000003\n"); }, 3000)) << ReadAll(first.log);
    EXPECT_TRUE(WaitUntil([&] { return first.Logged("MODIFY " + icon + "00000004 Tarvolin 1.0.0\n"); }, 3000))
        << ReadAll(first.log);
    {
        FullScreenWindow fullScreen;
        EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass)) << "first taskbar not hidden";
    }
    EXPECT_TRUE(WaitUntil([] { return TaskbarVisible(); }, kOnePass)) << "first taskbar not shown";

    // The process that owns the taskbar, found the way a user would, is
    // ended once the new shell's process is up.
    DWORD shellId = 0;
    GetWindowThreadProcessId(Taskbar(), &shellId);
    ASSERT_EQ(shellId, first.process.dwProcessId);
    ShellProcess second(folder.dir + "second-shell.log");
    ASSERT_TRUE(WaitUntil([&] { return second.TaskbarWindow() != nullptr; }, 5000)) << "no new stand-in taskbar";
    HANDLE shell = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, shellId);
    ASSERT_NE(shell, nullptr);
    TerminateProcess(shell, 1);
    WaitForSingleObject(shell, 5000);
    CloseHandle(shell);
    ASSERT_TRUE(WaitUntil([&] { return second.OwnsTheTaskbar(); }, 3000)) << "the new taskbar is not the one found";
    PostMessageA(second.TaskbarWindow(), kAnnounceTaskbar, 0, 0);

    EXPECT_TRUE(WaitUntil([&] { return second.Logged("ADD " + icon + "00000003\n"); }, 3000))
        << "tray icon not added to the new shell:\n" << ReadAll(second.log);
    EXPECT_TRUE(WaitUntil([&] { return second.Logged("MODIFY " + icon + "00000004 Tarvolin 1.0.0\n"); }, 3000))
        << "tooltip not given to the new shell:\n" << ReadAll(second.log);

    // The watcher finds the new taskbar on its own; Wine's hidden window is
    // left alone.
    for (int round = 0; round < 3; ++round) {
        {
            FullScreenWindow fullScreen;
            EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass)) << "new taskbar not hidden, round " << round;
        }
        EXPECT_TRUE(WaitUntil([] { return TaskbarVisible(); }, kOnePass)) << "new taskbar not shown, round " << round;
    }
    EXPECT_FALSE(IsWindowVisible(winesOwn));
    EXPECT_TRUE(tool.Running());

    // The end takes the icon out of the new shell.
    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);
    EXPECT_TRUE(second.Logged("DELETE " + icon)) << ReadAll(second.log);
}

// Runs `argv` again inside a desktop of its own and passes its result on.
int RunInOwnDesktop() {
    // Wine gives a named virtual desktop its own taskbar unless told not to.
    HKEY key = nullptr;
    std::string keyName = std::string("Software\\Wine\\Explorer\\Desktops\\") + kDesktopName;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        DWORD off = 0;
        RegSetValueExA(key, "EnableShell", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off));
        RegCloseKey(key);
    }
    HDESK desktop = CreateDesktopA(kDesktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop) {
        std::printf("cannot create desktop %s: %lu\n", kDesktopName, GetLastError());
        return 1;
    }
    SetEnvironmentVariableA(kInsideVariable, "1");
    std::string commandLine = GetCommandLineA();
    std::string desktopName = kDesktopName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = &desktopName[0];
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("cannot start the test in its desktop: %lu\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseDesktop(desktop);
    return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--stand-in-shell")
        return RunStandInShell(argv[2]);
    if (!GetEnvironmentVariableA(kInsideVariable, nullptr, 0)) return RunInOwnDesktop();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
