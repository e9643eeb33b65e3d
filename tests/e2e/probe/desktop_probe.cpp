// A small window probe for scripts that drive the Wine virtual desktop with
// real mouse input from outside (xdotool). It answers one question per run on
// stdout and exits with 0 when the asked-for state was seen, 1 otherwise.
//
//   desktop_probe menu                      "open L T R B" or "closed" (Tarvolin's popup menu)
//   desktop_probe wait-menu open|closed MS  waits for that state, then prints as "menu"
//   desktop_probe watch-menu MS             prints "ready", watches MS ms, prints "opens N"
//   desktop_probe wait-box MS               a message box: "box", title, text, OK button centre
//   desktop_probe wait-no-box MS            waits until no message box is shown
//   desktop_probe wait-tooltip MS           the shell's shown tooltip text
//   desktop_probe taskbar                   "visible|hidden L T R B"
//   desktop_probe startup-link [delete]     the Startup folder's Tarvolin.lnk: "present|absent PATH"
//   desktop_probe foreground                the foreground window: handle, class, process id
//   desktop_probe cancel-menu               ends Tarvolin's open menu from outside, waits until closed
//   desktop_probe end-tools                 ends every process that owns a Tarvolin window
//   desktop_probe fullscreen MS             a full-screen window held for MS ms, with taskbar times
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "probe_windows.h"

namespace {

int PrintMenu() {
    RECT rect;
    if (!FindToolMenu(rect)) {
        printf("closed\n");
        return 1;
    }
    printf("open %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

int WaitMenu(bool wantOpen, DWORD timeoutMs) {
    RECT rect;
    bool reached = WaitFor([&] { return FindToolMenu(rect) == wantOpen; }, timeoutMs);
    PrintMenu();
    return reached ? 0 : 1;
}

// Counts how often the menu appears: a closed-to-open change is one opening.
int WatchMenu(DWORD durationMs) {
    printf("ready\n");
    fflush(stdout);
    RECT rect;
    bool wasOpen = FindToolMenu(rect);
    int opens = wasOpen ? 1 : 0;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < durationMs) {
        bool open = FindToolMenu(rect);
        if (open && !wasOpen) ++opens;
        wasOpen = open;
        Sleep(5);
    }
    printf("opens %d %s\n", opens, wasOpen ? "open" : "closed");
    return 0;
}

// Control characters are printed as escapes, so each answer stays on one line.
std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else if (c < 0x20 || c >= 0x80) { char hex[8]; snprintf(hex, sizeof(hex), "\\x%02X", c); out += hex; }
        else out += static_cast<char>(c);
    }
    return out;
}

int WaitBox(DWORD timeoutMs) {
    SeenBox box;
    if (!WaitFor([&] { return FindShownMessageBox(box); }, timeoutMs)) {
        printf("none\n");
        return 1;
    }
    printf("box\n%s\n%s\n%ld %ld\n", Escaped(box.title).c_str(), Escaped(box.text).c_str(), box.okCentre.x,
           box.okCentre.y);
    return 0;
}

int WaitNoBox(DWORD timeoutMs) {
    SeenBox box;
    bool gone = WaitFor([&] { return !FindShownMessageBox(box); }, timeoutMs);
    printf(gone ? "none\n" : "box\n");
    return gone ? 0 : 1;
}

int WaitTooltip(DWORD timeoutMs) {
    std::string text;
    if (!WaitFor([&] { return ShownShellTooltip(text); }, timeoutMs)) {
        printf("none\n");
        return 1;
    }
    printf("%s\n", Escaped(text).c_str());
    return 0;
}

int PrintTaskbar() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar) {
        printf("missing\n");
        return 1;
    }
    RECT rect;
    GetWindowRect(taskbar, &rect);
    printf("%s %ld %ld %ld %ld\n", IsWindowVisible(taskbar) ? "visible" : "hidden", rect.left, rect.top, rect.right,
           rect.bottom);
    return 0;
}

int StartupLink(bool remove) {
    char folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_STARTUP, FALSE)) {
        printf("no-startup-folder\n");
        return 1;
    }
    std::string link = std::string(folder) + "\\Tarvolin.lnk";
    if (remove) DeleteFileA(link.c_str());
    bool present = GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
    printf("%s %s\n", present ? "present" : "absent", link.c_str());
    return 0;
}

int HoldFullScreen(DWORD holdMs) {
    FullScreenTimes times;
    bool ok = ShowFullScreenWindow(holdMs, times);
    printf("taskbar hidden after %ld ms\n", times.hiddenAfterMs);
    printf("taskbar shown again after %ld ms\n", times.shownAfterMs);
    return ok ? 0 : 1;
}

DWORD Milliseconds(int argc, char** argv, int index, DWORD fallback) {
    return argc > index ? static_cast<DWORD>(strtoul(argv[index], nullptr, 10)) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "menu") return PrintMenu();
    if (command == "wait-menu" && argc > 2) return WaitMenu(strcmp(argv[2], "open") == 0, Milliseconds(argc, argv, 3, 5000));
    if (command == "watch-menu") return WatchMenu(Milliseconds(argc, argv, 2, 2000));
    if (command == "wait-box") return WaitBox(Milliseconds(argc, argv, 2, 5000));
    if (command == "wait-no-box") return WaitNoBox(Milliseconds(argc, argv, 2, 5000));
    if (command == "wait-tooltip") return WaitTooltip(Milliseconds(argc, argv, 2, 5000));
    if (command == "taskbar") return PrintTaskbar();
    if (command == "startup-link") return StartupLink(argc > 2 && strcmp(argv[2], "delete") == 0);
    if (command == "foreground") {
        HWND window = GetForegroundWindow();
        char name[256] = {};
        GetClassNameA(window, name, sizeof(name));
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        printf("%p %s %lu\n", static_cast<void*>(window), name, processId);
        return 0;
    }
    if (command == "cancel-menu") {
        CancelToolMenus();
        return WaitMenu(false, 3000);
    }
    if (command == "end-tools") {
        printf("ended %d\n", EndToolProcesses());
        return 0;
    }
    if (command == "fullscreen") return HoldFullScreen(Milliseconds(argc, argv, 2, 2000));
    fprintf(stderr, "usage: desktop_probe menu|wait-menu|watch-menu|wait-box|wait-no-box|wait-tooltip|taskbar|"
                    "startup-link|fullscreen ...\n");
    return 2;
}
