#include "probe.h"

#include <tlhelp32.h>

#include <cstring>
#include <vector>

const char kTaskbarClass[] = "Shell_TrayWnd";
const char kFullScreenClass[] = "ShockwaveFlashFullScreen";

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void WaitPumping(double milliseconds) {
    double end = NowMs() + milliseconds;
    while (NowMs() < end) {
        PumpMessages();
        Sleep(1);
    }
}

HWND WaitForTaskbar(double timeoutMs) {
    double end = NowMs() + timeoutMs;
    do {
        HWND taskbar = FindWindowA(kTaskbarClass, nullptr);
        if (taskbar && IsWindowVisible(taskbar)) return taskbar;
        WaitPumping(10);
    } while (NowMs() < end);
    return nullptr;
}

double WaitForTaskbarVisibility(HWND taskbar, bool visible, double since, double timeoutMs) {
    for (;;) {
        double now = NowMs();
        if ((IsWindowVisible(taskbar) != FALSE) == visible) return now - since;
        if (now - since > timeoutMs) return -1;
        PumpMessages();
        Sleep(1);
    }
}

DWORD FindProcessByName(const char* exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeName) == 0) found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

namespace {

struct WindowSearch {
    const char* windowClass;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    char name[64];
    if (!GetClassNameA(window, name, sizeof name) || strcmp(name, search->windowClass) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindWindowOfProcess(const char* windowClass, DWORD processId) {
    WindowSearch search = {windowClass, processId, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

long CountRelayedShowWindowCalls(const char* logPath) {
    HANDLE file = CreateFileA(logPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    static const char kCall[] = "Call user32.ShowWindow(";

    std::vector<char> buffer(1 << 16);
    std::vector<char> line;
    long count = 0;
    DWORD got = 0;
    // Counted line by line so a call split across two reads still counts once.
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) {
        for (DWORD i = 0; i < got; ++i) {
            if (buffer[i] != '\n') {
                if (line.size() < 512) line.push_back(buffer[i]);
                continue;
            }
            line.push_back('\0');
            if (strstr(line.data(), kCall)) ++count;
            line.clear();
        }
    }
    CloseHandle(file);
    return count;
}

FILE* OpenOutput(const char* path) {
    FILE* out = fopen(path, "a");
    if (!out) fprintf(stderr, "bench_probe: cannot write %s\n", path);
    return out;
}

namespace {

LRESULT CALLBACK FullScreenProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterFullScreenClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = FullScreenProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kFullScreenClass;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateFullScreenWindow(bool visible) {
    return CreateWindowExA(WS_EX_TOPMOST, kFullScreenClass, "", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}
