#pragma once
// The taskbar watcher: hides the taskbar and the Start button while a
// full-screen Flash window exists, and shows them again when it is gone.
#include <windows.h>

// What one pass needs from the window system; the real thread uses user32,
// tests use a scripted desktop.
struct WindowSystem {
    HWND (*findWindow)(const char* windowClass);
    bool (*isWindow)(HWND window);
    bool (*isVisible)(HWND window);
    void (*show)(HWND window, int command);  // SW_HIDE or SW_SHOW
};

struct WatcherState {
    HWND taskbar = nullptr;
    HWND startButton = nullptr;
    bool hiddenByUs = false;  // the last change this watcher made was a hide
};

extern const char kTaskbarClass[];      // "Shell_TrayWnd"
extern const char kStartButtonClass[];  // "Button"
extern const char kFullScreenClass[];   // "ShockwaveFlashFullScreen"

// One look: finds the taskbar again when it is missing or gone (a restarted
// shell), then hides both windows when a full-screen window exists and the
// taskbar is visible, or shows both when none exists and the taskbar is
// hidden. Nothing is sent while the state already matches.
void WatcherPass(WatcherState& state, const WindowSystem& windows);

// Shows the taskbar and the Start button again if this watcher hid them.
void RestoreTaskbar(WatcherState& state, const WindowSystem& windows);

// The user32 implementation of WindowSystem.
const WindowSystem& RealWindowSystem();

// Thread procedure: passes every 100 ms until the process ends or
// StopTaskbarWatcher is called. The argument is ignored.
DWORD WINAPI TaskbarWatcher(void* argument);

// Makes the running watcher stop acting and gives back a taskbar it hid.
// Safe to call whether or not the watcher was started.
void StopTaskbarWatcher();
