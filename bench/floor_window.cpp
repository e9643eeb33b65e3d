// The least a resident program with one hidden window can cost: register a
// class, open one invisible WS_POPUP window, run the message loop until the
// window is asked to close.
#include <windows.h>

namespace {

const char kClassName[] = "BenchFloorWindow";

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExA(&windowClass)) return 1;
    if (!CreateWindowExA(0, kClassName, "Bench floor", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr))
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
