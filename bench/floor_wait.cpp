// The least a watcher that looks every 100 ms can cost: a thread that does the
// same timer-resolution bracket and wait, and nothing else. Built a second
// time with BENCH_FLOOR_LOOKS, it also makes the one look of a pass (find the
// full-screen window, read the taskbar's visibility), as the design asks.
#include <windows.h>
#include <mmsystem.h>

namespace {

DWORD WINAPI WaitForever(void*) {
#ifdef BENCH_FLOOR_LOOKS
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
#endif
    for (;;) {
#ifdef BENCH_FLOOR_LOOKS
        // Both results are only looked at, as in a pass where nothing changes.
        HWND fullScreen = FindWindowA("ShockwaveFlashFullScreen", nullptr);
        BOOL visible = IsWindowVisible(taskbar);
        (void)fullScreen;
        (void)visible;
#endif
        timeBeginPeriod(1);
        Sleep(100);
        timeEndPeriod(1);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HANDLE thread = CreateThread(nullptr, 4096, WaitForever, nullptr, 0, nullptr);
    if (!thread) return 1;
    WaitForSingleObject(thread, INFINITE);
    return 0;
}
