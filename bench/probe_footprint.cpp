// Footprint right after start-up: private bytes, working set, kernel handles,
// GDI and USER objects, and the windows a process owns.
#include "probe.h"

#include <psapi.h>

namespace {

struct WindowCount {
    DWORD processId;
    long count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM data);

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
    auto* counter = reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != counter->processId) return TRUE;
    ++counter->count;
    EnumChildWindows(window, CountChild, data);
    return TRUE;
}

BOOL CALLBACK CountChild(HWND, LPARAM data) {
    ++reinterpret_cast<WindowCount*>(data)->count;
    return TRUE;
}

}  // namespace

// footprint <output file> <exe name...>
// Writes "<key> <exe name> <value>" lines.
int RunFootprint(int argc, char** argv) {
    if (argc < 2) return 2;
    FILE* out = OpenOutput(argv[0]);
    if (!out) return 2;
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        DWORD id = FindProcessByName(name);
        HANDLE process = id ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id) : nullptr;
        if (!process) {
            fprintf(stderr, "bench_probe: process %s not found\n", name);
            fprintf(out, "missing %s 1\n", name);
            continue;
        }
        PROCESS_MEMORY_COUNTERS_EX memory = {};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
            fprintf(out, "private_bytes %s %lu\n", name, static_cast<unsigned long>(memory.PrivateUsage));
            fprintf(out, "working_set %s %lu\n", name, static_cast<unsigned long>(memory.WorkingSetSize));
        }
        DWORD handles = 0;
        if (GetProcessHandleCount(process, &handles)) fprintf(out, "handles %s %lu\n", name, handles);
        fprintf(out, "gdi_objects %s %lu\n", name, GetGuiResources(process, GR_GDIOBJECTS));
        fprintf(out, "user_objects %s %lu\n", name, GetGuiResources(process, GR_USEROBJECTS));
        WindowCount windows = {id, 0};
        EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
        fprintf(out, "windows %s %ld\n", name, windows.count);
        CloseHandle(process);
    }
    fclose(out);
    return 0;
}
