#include "probe_windows.h"

#include <commctrl.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

struct TopWindow {
    HWND window;
    DWORD processId;
    std::string className;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM data) {
    TopWindow seen = {window, 0, std::string()};
    GetWindowThreadProcessId(window, &seen.processId);
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    seen.className = name;
    reinterpret_cast<std::vector<TopWindow>*>(data)->push_back(seen);
    return TRUE;
}

std::vector<TopWindow> TopWindows() {
    std::vector<TopWindow> windows;
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string WindowText(HWND window) {
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

DWORD ShellProcessId() {
    DWORD processId = 0;
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (taskbar) GetWindowThreadProcessId(taskbar, &processId);
    return processId;
}

LRESULT CALLBACK FullScreenProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, "ShockwaveFlashFullScreen", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool TaskbarVisible() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    return taskbar && IsWindowVisible(taskbar);
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

bool FindToolMenu(RECT& rect) {
    std::vector<TopWindow> windows = TopWindows();
    std::set<DWORD> toolProcesses;
    for (const TopWindow& w : windows)
        if (w.className == "TarvolinGuiWindow") toolProcesses.insert(w.processId);
    for (const TopWindow& w : windows) {
        if (w.className != "#32768" || !toolProcesses.count(w.processId) || !IsWindowVisible(w.window)) continue;
        GetWindowRect(w.window, &rect);
        return true;
    }
    return false;
}

void CancelToolMenus() {
    for (const TopWindow& w : TopWindows())
        if (w.className == "TarvolinGuiWindow") PostMessageA(w.window, WM_CANCELMODE, 0, 0);
}

int EndToolProcesses() {
    std::set<DWORD> toolProcesses;
    for (const TopWindow& w : TopWindows())
        if (w.className == "TarvolinGuiWindow") toolProcesses.insert(w.processId);
    int ended = 0;
    for (DWORD processId : toolProcesses) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (!process) continue;
        if (TerminateProcess(process, 99) && WaitForSingleObject(process, 5000) == WAIT_OBJECT_0) ++ended;
        CloseHandle(process);
    }
    return ended;
}

bool FindShownMessageBox(SeenBox& box) {
    DWORD shell = ShellProcessId();
    for (const TopWindow& w : TopWindows()) {
        if (w.className != "#32770" || w.processId == shell || !IsWindowVisible(w.window)) continue;
        box.title = WindowText(w.window);
        // The message text is the static control with id 0xFFFF.
        box.text = WindowText(GetDlgItem(w.window, 0xFFFF));
        RECT ok = {0, 0, 0, 0};
        HWND button = GetDlgItem(w.window, IDOK);
        if (button) GetWindowRect(button, &ok);
        box.okCentre.x = (ok.left + ok.right) / 2;
        box.okCentre.y = (ok.top + ok.bottom) / 2;
        return true;
    }
    return false;
}

bool ShownShellTooltip(std::string& text) {
    DWORD shell = ShellProcessId();
    for (const TopWindow& w : TopWindows()) {
        if (w.processId != shell || w.className != "tooltips_class32" || !IsWindowVisible(w.window)) continue;
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shell);
        if (!process) return false;
        const SIZE_T textSize = 256;
        BYTE* remote = static_cast<BYTE*>(
            VirtualAllocEx(process, nullptr, sizeof(TTTOOLINFOA) + textSize, MEM_COMMIT, PAGE_READWRITE));
        bool found = false;
        if (remote) {
            TTTOOLINFOA info;
            memset(&info, 0, sizeof(info));
            info.cbSize = sizeof(info);
            info.lpszText = reinterpret_cast<LPSTR>(remote + sizeof(info));
            char buffer[256] = {};
            DWORD_PTR result = 0;
            if (WriteProcessMemory(process, remote, &info, sizeof(info), nullptr) &&
                WriteProcessMemory(process, remote + sizeof(info), buffer, textSize, nullptr) &&
                SendMessageTimeoutA(w.window, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(remote),
                                    SMTO_ABORTIFHUNG, 2000, &result) &&
                result && ReadProcessMemory(process, remote + sizeof(info), buffer, textSize - 1, nullptr)) {
                text = buffer;
                found = !text.empty();
            }
            VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        }
        CloseHandle(process);
        if (found) return true;
    }
    return false;
}

bool ShowFullScreenWindow(DWORD holdMs, FullScreenTimes& times) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FullScreenProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ShockwaveFlashFullScreen";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "ShockwaveFlashFullScreen", "", WS_POPUP, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) return false;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    DWORD shownAt = GetTickCount();
    bool hidden = WaitFor([] { return !TaskbarVisible(); }, 3000);
    if (hidden) times.hiddenAfterMs = static_cast<long>(GetTickCount() - shownAt);
    WaitFor([] { return false; }, holdMs);
    DestroyWindow(window);
    DWORD destroyedAt = GetTickCount();
    bool back = WaitFor(TaskbarVisible, 3000);
    if (back) times.shownAfterMs = static_cast<long>(GetTickCount() - destroyedAt);
    return hidden && back;
}
