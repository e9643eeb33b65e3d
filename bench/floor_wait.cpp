// The least a watcher that looks every 100 ms can cost: a thread that does the
// same timer-resolution bracket and wait, and nothing else.
#include <windows.h>
#include <mmsystem.h>

namespace {

DWORD WINAPI WaitForever(void*) {
    for (;;) {
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
