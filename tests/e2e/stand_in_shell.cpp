#include "stand_in_shell.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace {

FILE* logFile = nullptr;

struct TrayRequest {
    DWORD message = 0;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
    DWORD window = 0;
    UINT id = 0;
    UINT flags = 0;
    std::wstring tip;
};

// Wine's shell32 hands the request over as its own flat structure with the
// NIM_* code in dwData; Windows sends a signed block holding the code and a
// 32-bit NOTIFYICONDATAW. Both are read here.
bool ReadRequest(const COPYDATASTRUCT* data, TrayRequest& request) {
    const BYTE* bytes = static_cast<const BYTE*>(data->lpData);
    DWORD words[6] = {};
    if (!bytes || data->cbData < sizeof(words)) return false;
    memcpy(words, bytes, sizeof(words));
    const wchar_t* tip = nullptr;
    size_t tipOffset = 0;
    if (data->dwData == 1 && words[0] == 0x34753423) {  // Windows: signature, message, NOTIFYICONDATAW
        request.message = words[1];
        request.window = words[3];
        request.id = words[4];
        request.flags = words[5];
        tipOffset = 8 + 24;
    } else {  // Wine: hWnd, uID, uFlags, uCallbackMessage, szTip[128], ...
        request.message = static_cast<DWORD>(data->dwData);
        request.window = words[0];
        request.id = words[1];
        request.flags = words[2];
        tipOffset = 16;
    }
    if ((request.flags & NIF_TIP) && data->cbData >= tipOffset + 128 * sizeof(wchar_t)) {
        tip = reinterpret_cast<const wchar_t*>(bytes + tipOffset);
        request.tip.assign(tip, wcsnlen(tip, 128));
    }
    return true;
}

struct KnownIcon {
    DWORD window;
    UINT id;
};
KnownIcon icons[64];
int iconCount = 0;

int FindIcon(DWORD window, UINT id) {
    for (int i = 0; i < iconCount; ++i)
        if (icons[i].window == window && icons[i].id == id) return i;
    return -1;
}

LRESULT OnTrayRequest(const COPYDATASTRUCT* data) {
    TrayRequest request;
    if (!ReadRequest(data, request)) return FALSE;
    const char* name = request.message == NIM_ADD ? "ADD" : request.message == NIM_MODIFY ? "MODIFY"
                       : request.message == NIM_DELETE ? "DELETE" : "OTHER";
    char tip[256] = {};
    WideCharToMultiByte(CP_ACP, 0, request.tip.c_str(), -1, tip, sizeof(tip), nullptr, nullptr);
    std::fprintf(logFile, "%s %08lx %u %08x%s%s\n", name, static_cast<unsigned long>(request.window), request.id,
                 request.flags, (request.flags & NIF_TIP) ? " " : "", (request.flags & NIF_TIP) ? tip : "");
    std::fflush(logFile);
    // Answer as a shell does: an icon must be added before it can be changed.
    int known = FindIcon(request.window, request.id);
    switch (request.message) {
    case NIM_ADD:
        if (known >= 0 || iconCount == 64) return FALSE;
        icons[iconCount++] = {request.window, request.id};
        return TRUE;
    case NIM_MODIFY: return known >= 0;
    case NIM_DELETE:
        if (known < 0) return FALSE;
        icons[known] = icons[--iconCount];
        return TRUE;
    default: return FALSE;
    }
}

LRESULT CALLBACK TaskbarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) return OnTrayRequest(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    if (message == kAnnounceTaskbar) {
        PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int RunStandInShell(const std::string& logPath) {
    logFile = std::fopen(logPath.c_str(), "ab");
    if (!logFile) return 2;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TaskbarProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Shell_TrayWnd";
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    if (!RegisterClassA(&windowClass)) return 3;
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    // Topmost, and so found before any other window of the class made earlier.
    HWND taskbar = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "Shell_TrayWnd", "", WS_POPUP | WS_VISIBLE, 0, height - 28,
                                   width, 28, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!taskbar) return 4;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
