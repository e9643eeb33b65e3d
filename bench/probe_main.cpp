// bench_probe.exe: the measuring side of scripts/bench.sh. Each sub-command
// measures one thing and appends plain "key value" lines to a file.
#include "probe.h"

#include <mmsystem.h>

#include <cstdlib>
#include <cstring>

// waitwindow <window class> <seconds>: ends with 0 once a window of the class exists.
int RunWaitWindow(int argc, char** argv) {
    if (argc < 2) return 2;
    double end = NowMs() + atof(argv[1]) * 1000;
    while (NowMs() < end) {
        if (FindWindowA(argv[0], nullptr)) return 0;
        Sleep(10);
    }
    fprintf(stderr, "bench_probe: no window of class %s\n", argv[0]);
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: bench_probe delays|idle|startup|footprint|waitwindow ...\n");
        return 2;
    }
    // Under Wine this brings up the virtual desktop and its taskbar if no
    // program has done so yet.
    GetDesktopWindow();
    // Fine polling: 1 ms sleeps must really be about 1 ms.
    timeBeginPeriod(1);
    const char* command = argv[1];
    int rest = argc - 2;
    char** args = argv + 2;
    int result = 2;
    if (strcmp(command, "delays") == 0) result = RunDelays(rest, args);
    else if (strcmp(command, "idle") == 0) result = RunIdle(rest, args);
    else if (strcmp(command, "startup") == 0) result = RunStartup(rest, args);
    else if (strcmp(command, "footprint") == 0) result = RunFootprint(rest, args);
    else if (strcmp(command, "waitwindow") == 0) result = RunWaitWindow(rest, args);
    else fprintf(stderr, "bench_probe: unknown command %s\n", command);
    timeEndPeriod(1);
    return result;
}
