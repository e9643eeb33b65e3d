#pragma once
// Drives the real Tarvolin.exe from a test program running in the same Wine
// virtual desktop: copies it into a throwaway program folder, starts it,
// finds its window and message boxes, and watches the taskbar.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Polls `condition` every 5 ms until it holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The built program and its tray image, found beside the test programs.
std::string BuiltProgramPath();

// A folder holding a copy of the program (under `exeName`) and, unless told
// otherwise, Grafiken\Icon.ico. Removed when the test ends.
struct ProgramFolder {
    explicit ProgramFolder(const std::string& exeName = "Tarvolin.exe", bool withTrayImage = true,
                           const std::string& leaf = "prog");
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    std::string dir;  // ends with a backslash
    std::string exe;  // full path of the copy
};

// A running Tarvolin process.
struct RunningTool {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;  // the hidden window, once found

    ~RunningTool();
    bool Running() const;
    // Waits for the process to end; returns its exit code, or -1 on timeout.
    long WaitExit(DWORD timeoutMs);
    void Kill();
};

// Starts `exe` with `currentDirectory` and extra environment entries
// ("NAME=value"), then waits up to 30 s for its hidden window (unless
// `waitForWindow` is false).
bool StartTool(RunningTool& tool, const std::string& exe, const std::string& currentDirectory,
               const std::vector<std::string>& extraEnvironment = {}, bool waitForWindow = true);

// The name of this thread's desktop; programs the tests start are put there
// explicitly (Wine does not hand a desktop on to child processes by itself).
std::string CurrentDesktopName();

// The top-level windows of a process with the given class ("" = any).
std::vector<HWND> ProcessWindows(DWORD processId, const char* windowClass);

// A message box of a process: its title, text and icon (MB_ICON* guessed from
// the icon control), or null window when none is open.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::string title;
    std::string text;
    HICON icon = nullptr;  // the picture in the box's icon control
};

MessageBoxSeen FindMessageBox(DWORD processId);
// Presses the box's OK button.
void CloseMessageBox(const MessageBoxSeen& box);

// Whether a popup menu of the process is showing.
bool MenuOpen(DWORD processId);
// Dismisses the process's popup menu as the Escape key would. The key is
// posted to the menu window itself: a key pressed on the keyboard goes to the
// foreground window, which need not be the menu's.
void DismissMenu(DWORD processId);

HWND Taskbar();
bool TaskbarVisible();

// A window of class "ShockwaveFlashFullScreen" made by this test program.
struct FullScreenWindow {
    enum Look { Shown, Hidden, Minimised };
    explicit FullScreenWindow(Look look = Shown);
    ~FullScreenWindow();
    FullScreenWindow(const FullScreenWindow&) = delete;
    FullScreenWindow& operator=(const FullScreenWindow&) = delete;
    HWND window = nullptr;
};

// A top-level window of the system class "Button", standing in for a Start
// button that is a window of its own. It lives on a thread of its own that
// answers messages, so another process's ShowWindow never waits on the test.
struct StandInStartButton {
    StandInStartButton();
    ~StandInStartButton();
    StandInStartButton(const StandInStartButton&) = delete;
    StandInStartButton& operator=(const StandInStartButton&) = delete;
    HWND window = nullptr;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
};

// Handles this thread's messages for a while (our own windows must answer).
void PumpMessages(DWORD milliseconds);

// Makes the taskbar visible again, whatever a failed test left behind.
void ResetTaskbar();
