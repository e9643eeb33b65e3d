#include "harness.h"

#include <shellapi.h>

#include <cstring>

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        PumpMessages(5);
    }
}

void PumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

namespace {

std::string ModuleDirectory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempFolder(const std::string& leaf) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    char unique[MAX_PATH];
    GetTempFileNameA(base, "e2", 0, unique);
    DeleteFileA(unique);
    std::string dir = std::string(unique) + "-" + leaf + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

void RemoveTree(const std::string& folder) {
    std::string from = folder.substr(0, folder.size() - 1);
    from.append(2, '\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationA(&operation);
}

struct WindowSearch {
    DWORD processId;
    const char* windowClass;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    if (!*search->windowClass || strcmp(name, search->windowClass) == 0) search->found.push_back(window);
    return TRUE;
}

std::string WindowText(HWND window) {
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

BOOL CALLBACK FindIconControl(HWND child, LPARAM data) {
    char name[32] = {};
    GetClassNameA(child, name, sizeof(name));
    if (_stricmp(name, "Static") != 0 || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
    *reinterpret_cast<HWND*>(data) = child;
    return FALSE;
}

// The picture of a dialog's icon control (its id differs between systems).
HICON DialogIcon(HWND dialog) {
    HWND control = nullptr;
    EnumChildWindows(dialog, FindIconControl, reinterpret_cast<LPARAM>(&control));
    return control ? reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0)) : nullptr;
}

LRESULT CALLBACK PlainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::string BuiltProgramPath() {
    // Test programs live in build\tests\e2e (or below); the program in build\.
    std::string dir = ModuleDirectory();
    for (int up = 0; up < 4; ++up) {
        if (Exists(dir + "Tarvolin.exe")) return dir + "Tarvolin.exe";
        dir = dir.substr(0, dir.find_last_of('\\', dir.size() - 2) + 1);
    }
    return std::string();
}

ProgramFolder::ProgramFolder(const std::string& exeName, bool withTrayImage, const std::string& leaf) {
    dir = TempFolder(leaf);
    exe = dir + exeName;
    std::string built = BuiltProgramPath();
    CopyFileA(built.c_str(), exe.c_str(), FALSE);
    if (withTrayImage) {
        std::string builtDir = built.substr(0, built.find_last_of('\\') + 1);
        CreateDirectoryA((dir + "Grafiken").c_str(), nullptr);
        CopyFileA((builtDir + "Grafiken\\Icon.ico").c_str(), (dir + "Grafiken\\Icon.ico").c_str(), FALSE);
    }
}

ProgramFolder::~ProgramFolder() {
    RemoveTree(dir);
}

RunningTool::~RunningTool() {
    if (Running()) Kill();
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
}

bool RunningTool::Running() const {
    return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

long RunningTool::WaitExit(DWORD timeoutMs) {
    if (!process.hProcess) return -1;
    bool ended = WaitUntil([&] { return !Running(); }, timeoutMs);
    if (!ended) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<long>(code);
}

void RunningTool::Kill() {
    if (!process.hProcess) return;
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 5000);
    ResetTaskbar();
}

bool StartTool(RunningTool& tool, const std::string& exe, const std::string& currentDirectory,
               const std::vector<std::string>& extraEnvironment, bool waitForWindow) {
    // The child gets our environment, with the extra entries replacing ours
    // of the same name.
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=', 1)); };
    std::string environment;
    char* own = GetEnvironmentStringsA();
    for (const char* entry = own; *entry; entry += strlen(entry) + 1) {
        bool replaced = false;
        for (const std::string& extra : extraEnvironment)
            replaced = replaced || _stricmp(nameOf(extra).c_str(), nameOf(entry).c_str()) == 0;
        if (!replaced) environment.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(own);
    for (const std::string& entry : extraEnvironment) environment.append(entry).push_back('\0');
    environment.push_back('\0');

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string desktop = CurrentDesktopName();
    startup.lpDesktop = &desktop[0];
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, &environment[0],
                        currentDirectory.c_str(), &startup, &tool.process))
        return false;
    if (!waitForWindow) return true;
    return WaitUntil(
        [&] {
            std::vector<HWND> windows = ProcessWindows(tool.process.dwProcessId, "TarvolinGuiWindow");
            if (windows.empty()) return false;
            tool.window = windows.front();
            return true;
        },
        30000);  // Wine starts slowly on a loaded machine
}

std::string CurrentDesktopName() {
    char name[256] = {};
    DWORD needed = 0;
    GetUserObjectInformationA(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof(name) - 1, &needed);
    return name;
}

std::vector<HWND> ProcessWindows(DWORD processId, const char* windowClass) {
    WindowSearch search = {processId, windowClass, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

MessageBoxSeen FindMessageBox(DWORD processId) {
    MessageBoxSeen box;
    for (HWND window : ProcessWindows(processId, "#32770")) {
        if (!IsWindowVisible(window)) continue;
        box.window = window;
        box.title = WindowText(window);
        // The message text is the static control with id 0xFFFF.
        box.text = WindowText(GetDlgItem(window, 0xFFFF));
        box.icon = DialogIcon(window);
        break;
    }
    return box;
}

void CloseMessageBox(const MessageBoxSeen& box) {
    if (box.window) PostMessageA(box.window, WM_COMMAND, IDOK, 0);
}

bool MenuOpen(DWORD processId) {
    for (HWND menu : ProcessWindows(processId, "#32768"))
        if (IsWindowVisible(menu)) return true;
    return false;
}

void DismissMenu(DWORD processId) {
    for (HWND menu : ProcessWindows(processId, "#32768")) {
        if (!IsWindowVisible(menu)) continue;
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    }
}

HWND Taskbar() {
    return FindWindowA("Shell_TrayWnd", nullptr);
}

bool TaskbarVisible() {
    return IsWindowVisible(Taskbar()) != FALSE;
}

FullScreenWindow::FullScreenWindow(Look look) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = PlainWindowProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ShockwaveFlashFullScreen";
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        registered = RegisterClassA(&windowClass) != 0;
    }
    window = CreateWindowExA(WS_EX_TOPMOST, "ShockwaveFlashFullScreen", "", WS_POPUP, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (look == Shown) ShowWindow(window, SW_SHOW);
    if (look == Minimised) ShowWindow(window, SW_SHOWMINNOACTIVE);
}

FullScreenWindow::~FullScreenWindow() {
    if (window) DestroyWindow(window);
}

namespace {

DWORD WINAPI StartButtonThread(void* data) {
    StandInStartButton* button = static_cast<StandInStartButton*>(data);
    HWND window = CreateWindowExA(0, "Button", "Start", WS_POPUP | WS_VISIBLE | BS_PUSHBUTTON, 0, 740, 60, 28,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    InterlockedExchangePointer(reinterpret_cast<void**>(&button->window), window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    DestroyWindow(window);
    return 0;
}

}  // namespace

StandInStartButton::StandInStartButton() {
    thread = CreateThread(nullptr, 0, StartButtonThread, this, 0, &threadId);
    WaitUntil([&] { return InterlockedCompareExchangePointer(reinterpret_cast<void**>(&window), nullptr,
                                                             nullptr) != nullptr; },
              5000);
}

StandInStartButton::~StandInStartButton() {
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
}

void ResetTaskbar() {
    HWND taskbar = Taskbar();
    if (taskbar && !IsWindowVisible(taskbar)) ShowWindow(taskbar, SW_SHOW);
}
