#include <windows.h>

#include "app/app.h"
#include "app/program.h"
#include "autostart/autostart.h"
#include "gui/gui.h"
#include "watcher/watcher.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800  // older SDK headers lack it
#endif

namespace {

// Later DLL loads come from System32 only, never from the program's or the
// current directory. Looked up at run time: older systems lack the call.
void RestrictDllSearchPath() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCSTR);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    auto setDirectory =
        reinterpret_cast<SetDllDirectoryFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDirectory) setDirectory("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchPath();
    GuiInit();
    ProgramName = "Tarvolin";
    ProgramVersion = "1.0.0";
    CheckProgramFile();
    LoadTrayImage();
    if (GuiOpenWindow(kHiddenWindow, 0, 0, 0, 0, DisplayTitle().c_str(), GuiBorderless | GuiInvisible)) {
        SetupTrayIcon();
        BuildTrayMenu();
        RefreshAutostartItem();
        GuiStartThread(TaskbarWatcher, 0);
        RunEventLoop();
    }
    Shutdown();
}
