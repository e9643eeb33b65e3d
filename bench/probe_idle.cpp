// Steady state: nothing changes for a while. Counts the ShowWindow calls the
// watcher makes (from its Wine relay log) and the taskbar's visibility
// changes seen by polling, and the CPU time of the given processes.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "probe.h"

namespace {

double CpuMs(HANDLE process) {
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(process, &creation, &exit, &kernel, &user)) return -1;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return static_cast<double>(k.QuadPart + u.QuadPart) / 10000.0;  // 100 ns units
}

struct Watched {
    const char* name;
    HANDLE process;
    double cpuAtStart;
};

}  // namespace

// idle <present|absent> <seconds> <relay log> <output file> [exe name...]
// Writes "<state>_showwindow_calls N", "<state>_visibility_changes N",
// "<state>_seconds S" and, per exe name, "<state>_cpu_ms <name> MS".
int RunIdle(int argc, char** argv) {
    if (argc < 4) return 2;
    const char* state = argv[0];
    bool present = strcmp(state, "present") == 0;
    double seconds = atof(argv[1]);
    const char* relayLog = argv[2];
    FILE* out = OpenOutput(argv[3]);
    if (!out) return 2;
    HWND taskbar = WaitForTaskbar(30000);
    if (!taskbar || !RegisterFullScreenClass()) {
        fprintf(stderr, "bench_probe: no visible taskbar\n");
        return 2;
    }
    HWND fullScreen = nullptr;
    if (present) {
        fullScreen = CreateFullScreenWindow(true);
        if (WaitForTaskbarVisibility(taskbar, false, NowMs(), 3000) < 0)
            fprintf(stderr, "bench_probe: the taskbar was not hidden\n");
    }
    // Let the pass that reacted finish before counting.
    WaitPumping(300);

    std::vector<Watched> watched;
    for (int i = 4; i < argc; ++i) {
        DWORD id = FindProcessByName(argv[i]);
        HANDLE process = id ? OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id) : nullptr;
        if (!process) fprintf(stderr, "bench_probe: process %s not found\n", argv[i]);
        watched.push_back({argv[i], process, process ? CpuMs(process) : -1});
    }
    // Our own CPU time as well: under Wine, GetProcessTimes on another
    // process may not report that process's time.
    watched.push_back({"bench_probe.exe(self)", GetCurrentProcess(), CpuMs(GetCurrentProcess())});
    long callsAtStart = CountRelayedShowWindowCalls(relayLog);
    bool visible = IsWindowVisible(taskbar) != FALSE;
    long changes = 0;
    double start = NowMs();
    while (NowMs() - start < seconds * 1000) {
        PumpMessages();
        bool now = IsWindowVisible(taskbar) != FALSE;
        if (now != visible) ++changes;
        visible = now;
        // Coarser than the delay polling: every look is a request to the
        // wine server, which the measured programs share. The relay trace
        // catches what a look could miss.
        Sleep(5);
    }
    double elapsed = (NowMs() - start) / 1000;
    long callsAtEnd = CountRelayedShowWindowCalls(relayLog);

    fprintf(out, "%s_seconds %.3f\n", state, elapsed);
    if (callsAtStart < 0 || callsAtEnd < 0) fprintf(out, "%s_showwindow_calls unavailable\n", state);
    else fprintf(out, "%s_showwindow_calls %ld\n", state, callsAtEnd - callsAtStart);
    // The trace's running total, so that a reader can see the count is live.
    fprintf(out, "%s_showwindow_calls_before %ld\n", state, callsAtStart);
    fprintf(out, "%s_visibility_changes %ld\n", state, changes);
    for (const Watched& w : watched) {
        if (!w.process) continue;
        fprintf(out, "%s_cpu_ms %s %.3f\n", state, w.name, CpuMs(w.process) - w.cpuAtStart);
        if (w.process != GetCurrentProcess()) CloseHandle(w.process);
    }
    if (fullScreen) {
        DestroyWindow(fullScreen);
        WaitForTaskbarVisibility(taskbar, true, NowMs(), 3000);
    }
    fclose(out);
    return 0;
}
