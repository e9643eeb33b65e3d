#include "watcher/watcher.h"

#include <mmsystem.h>

const char kTaskbarClass[] = "Shell_TrayWnd";
const char kStartButtonClass[] = "Button";
const char kFullScreenClass[] = "ShockwaveFlashFullScreen";

namespace {

bool Alive(HWND window, const WindowSystem& windows) {
    return window && windows.isWindow(window);
}

void ShowBoth(WatcherState& state, const WindowSystem& windows, int command) {
    windows.show(state.taskbar, command);
    if (Alive(state.startButton, windows)) windows.show(state.startButton, command);
    state.hiddenByUs = command == SW_HIDE;
}

}  // namespace

namespace {

void LookUpShell(WatcherState& state, const WindowSystem& windows) {
    state.taskbar = windows.findWindow(kTaskbarClass);
    state.startButton = windows.findWindow(kStartButtonClass);
    state.hiddenByUs = false;
}

}  // namespace

void WatcherPass(WatcherState& state, const WindowSystem& windows) {
    if (!state.taskbar) LookUpShell(state, windows);
    if (!state.taskbar) return;

    bool fullScreen = windows.findWindow(kFullScreenClass) != nullptr;
    bool taskbarVisible = windows.isVisible(state.taskbar);
    // A visible taskbar is alive; only a hidden one may be a dead handle of an
    // ended shell. Asking just then keeps the usual pass at two calls.
    if (!taskbarVisible && !windows.isWindow(state.taskbar)) {
        LookUpShell(state, windows);
        if (!state.taskbar) return;
        taskbarVisible = windows.isVisible(state.taskbar);
    }
    if (fullScreen && taskbarVisible)
        ShowBoth(state, windows, SW_HIDE);
    else if (!fullScreen && !taskbarVisible)
        ShowBoth(state, windows, SW_SHOW);
}

void RestoreTaskbar(WatcherState& state, const WindowSystem& windows) {
    if (!state.hiddenByUs || !Alive(state.taskbar, windows)) return;
    if (!windows.isVisible(state.taskbar)) ShowBoth(state, windows, SW_SHOW);
    state.hiddenByUs = false;
}

const WindowSystem& RealWindowSystem() {
    static const WindowSystem real = {
        [](const char* windowClass) { return FindWindowA(windowClass, nullptr); },
        [](HWND window) { return IsWindow(window) != FALSE; },
        [](HWND window) { return IsWindowVisible(window) != FALSE; },
        [](HWND window, int command) { ShowWindow(window, command); },
    };
    return real;
}

namespace {

// The watcher's state is its own; the lock only lets the end of the program
// take the taskbar back without racing a pass that is under way.
struct SharedWatcher {
    CRITICAL_SECTION lock;
    WatcherState state;
    volatile LONG stopped = 0;
    SharedWatcher() { InitializeCriticalSection(&lock); }
};

// How long the end of the program waits for a pass under way: ShowWindow on a
// hung shell's window can block, and quitting must not hang with it.
constexpr DWORD kStopWaitMs = 2000;

// Made before the entry runs, so both threads find it ready without a
// guarded local static.
SharedWatcher shared;

class LockScope {
public:
    explicit LockScope(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~LockScope() { LeaveCriticalSection(&lock_); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

}  // namespace

DWORD WINAPI TaskbarWatcher(void*) {
    const WindowSystem& windows = RealWindowSystem();
    for (;;) {
        {
            LockScope hold(shared.lock);
            if (InterlockedCompareExchange(&shared.stopped, 0, 0)) return 0;
            WatcherPass(shared.state, windows);
        }
        // A 1 ms timer resolution keeps the 100 ms pause from stretching to
        // the next 15.6 ms tick; it is held only while waiting.
        timeBeginPeriod(1);
        Sleep(100);
        timeEndPeriod(1);
    }
}

void StopTaskbarWatcher() {
    InterlockedExchange(&shared.stopped, 1);
    for (DWORD waited = 0; !TryEnterCriticalSection(&shared.lock); waited += 10) {
        if (waited >= kStopWaitMs) return;  // leave the taskbar to the next start rather than hang
        Sleep(10);
    }
    RestoreTaskbar(shared.state, RealWindowSystem());
    LeaveCriticalSection(&shared.lock);
}
