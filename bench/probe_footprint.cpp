// Footprint right after start-up: private bytes, working set, kernel handles,
// GDI and USER objects, and the windows a process owns.
#include "probe.h"

#include <psapi.h>

#include <vector>

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

// Kernel handles of one process from the system-wide handle list, the only
// count Wine gives for another process (GetProcessHandleCount reads 0 there).
// Returns -1 when the list is not available.
long CountHandlesInSystemList(DWORD processId) {
    struct HandleEntry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO
        ULONG ownerProcessId;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    struct HandleList {  // SYSTEM_HANDLE_INFORMATION
        ULONG count;
        HandleEntry entries[1];
    };
    typedef LONG(WINAPI * QueryFn)(ULONG, PVOID, ULONG, PULONG);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto query = ntdll ? reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
                             GetProcAddress(ntdll, "NtQuerySystemInformation")))
                       : nullptr;
    if (!query) return -1;
    const ULONG kSystemHandleInformation = 16;
    const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<BYTE> buffer(1 << 16);
    for (int attempt = 0; attempt < 12; ++attempt) {
        ULONG needed = 0;
        LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
            continue;
        }
        if (status < 0) return -1;
        const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
        long count = 0;
        for (ULONG i = 0; i < list->count; ++i)
            if (list->entries[i].ownerProcessId == processId) ++count;
        return count;
    }
    return -1;
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
            fprintf(out, "pagefile_usage %s %lu\n", name, static_cast<unsigned long>(memory.PagefileUsage));
            fprintf(out, "working_set %s %lu\n", name, static_cast<unsigned long>(memory.WorkingSetSize));
        }
        DWORD handles = 0;
        if (GetProcessHandleCount(process, &handles)) fprintf(out, "handles %s %lu\n", name, handles);
        fprintf(out, "handles_system_list %s %ld\n", name, CountHandlesInSystemList(id));
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
