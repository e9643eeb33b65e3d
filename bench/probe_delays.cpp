// Hide and show delays: a full-screen window is created and destroyed at
// random moments relative to the watcher's pass, and the time until the
// taskbar follows is taken by polling its visibility every millisecond.
#include <cstdlib>
#include <random>

#include "probe.h"

namespace {

const double kTimeoutMs = 3000;

}  // namespace

// delays <cycles> <seed> <output file>
// Writes one line per change: "hide <ms>" or "show <ms>" ("timeout" instead
// of a figure when the taskbar did not follow within 3 s).
int RunDelays(int argc, char** argv) {
    if (argc < 3) return 2;
    int cycles = atoi(argv[0]);
    std::mt19937 random(static_cast<unsigned>(strtoul(argv[1], nullptr, 10)));
    std::uniform_real_distribution<double> randomWait(0.0, 100.0);
    FILE* out = OpenOutput(argv[2]);
    if (!out) return 2;
    HWND taskbar = WaitForTaskbar(30000);
    if (!taskbar || !RegisterFullScreenClass()) {
        fprintf(stderr, "bench_probe: no visible taskbar\n");
        return 2;
    }
    double createCallMs = 0, destroyCallMs = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        // The window exists from early in the call, so its start is the
        // moment of creation.
        double created = NowMs();
        HWND fullScreen = CreateFullScreenWindow(false);
        createCallMs += NowMs() - created;
        if (!fullScreen) {
            fprintf(stderr, "bench_probe: cannot create the full-screen window\n");
            return 2;
        }
        double hide = WaitForTaskbarVisibility(taskbar, false, created, kTimeoutMs);
        if (hide < 0) fprintf(out, "hide timeout\n");
        else fprintf(out, "hide %.3f\n", hide);
        WaitPumping(randomWait(random));

        // The window is gone only when the call returns.
        double destroying = NowMs();
        DestroyWindow(fullScreen);
        double destroyed = NowMs();
        destroyCallMs += destroyed - destroying;
        double show = WaitForTaskbarVisibility(taskbar, true, destroyed, kTimeoutMs);
        if (show < 0) fprintf(out, "show timeout\n");
        else fprintf(out, "show %.3f\n", show);
        WaitPumping(randomWait(random));
    }
    // How long the calls themselves took: part of every figure above.
    fprintf(out, "create_call_mean %.3f\n", createCallMs / cycles);
    fprintf(out, "destroy_call_mean %.3f\n", destroyCallMs / cycles);
    fclose(out);
    return 0;
}
