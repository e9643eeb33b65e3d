#pragma once
// Shared pieces of the measuring program (bench_probe.exe).
#include <windows.h>

#include <cstdio>

// Window classes this program looks at or makes.
extern const char kTaskbarClass[];     // "Shell_TrayWnd"
extern const char kFullScreenClass[];  // "ShockwaveFlashFullScreen"

// Milliseconds from a fixed start, with the performance counter's resolution.
double NowMs();

// Handles this thread's window messages, so that our own windows stay alive.
void PumpMessages();

// Waits about `milliseconds`, in 1 ms steps, handling messages meanwhile.
void WaitPumping(double milliseconds);

// The taskbar window once it exists and is visible, or null after the timeout.
HWND WaitForTaskbar(double timeoutMs);

// Polls every millisecond until the taskbar's visibility equals `visible`.
// Returns the time it took, or a negative value after `timeoutMs`.
double WaitForTaskbarVisibility(HWND taskbar, bool visible, double since, double timeoutMs);

// The process id of the first running process with this executable name
// (for example "Tarvolin.exe"), or 0.
DWORD FindProcessByName(const char* exeName);

// A top-level window of the given class that belongs to process `processId`,
// or null.
HWND FindWindowOfProcess(const char* windowClass, DWORD processId);

// Number of lines "Call user32.ShowWindow(" in a Wine relay log, or -1.
long CountRelayedShowWindowCalls(const char* logPath);

// Opens the output file (appending) or reports why not.
FILE* OpenOutput(const char* path);

// Registers the full-screen window class once.
bool RegisterFullScreenClass();

// Opens a window of the full-screen class covering the screen. The delay
// measurement uses an invisible one: creating and destroying it takes well
// under a millisecond, where mapping a visible one takes several, which would
// blur the moment of change. The watcher counts hidden ones too.
HWND CreateFullScreenWindow(bool visible);

// The sub-commands.
int RunDelays(int argc, char** argv);
int RunIdle(int argc, char** argv);
int RunStartup(int argc, char** argv);
int RunFootprint(int argc, char** argv);
int RunWaitWindow(int argc, char** argv);
