// Start-up: from CreateProcess to the program's hidden window existing, for
// Tarvolin.exe and for the minimal one-window program, started in turns.
#include <cstdlib>
#include <string>

#include "probe.h"

namespace {

struct Program {
    const char* path;         // Windows path of the executable
    const char* windowClass;  // class of the window that marks "started"
    const char* label;
};

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Milliseconds until the window appeared, or a negative value on failure.
double StartOnce(const Program& program) {
    std::string commandLine = std::string("\"") + program.path + "\"";
    std::string directory = DirectoryOf(program.path);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    double start = NowMs();
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
        fprintf(stderr, "bench_probe: cannot start %s (%lu)\n", program.path, GetLastError());
        return -1;
    }
    double took = -1;
    HWND window = nullptr;
    while (NowMs() - start < 20000) {
        window = FindWindowOfProcess(program.windowClass, process.dwProcessId);
        if (window) {
            took = NowMs() - start;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
        Sleep(1);
    }
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        fprintf(stderr, "bench_probe: %s did not end on WM_CLOSE\n", program.label);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return took;
}

}  // namespace

// startup <rounds> <output file> <label> <exe> <window class> <label> <exe> <window class>
// Each round starts both programs once, in turns; one unrecorded warm-up
// round comes first. Writes "startup_ms <label> MS" per start.
int RunStartup(int argc, char** argv) {
    if (argc < 8) return 2;
    int rounds = atoi(argv[0]);
    FILE* out = OpenOutput(argv[1]);
    if (!out) return 2;
    Program programs[2] = {{argv[3], argv[4], argv[2]}, {argv[6], argv[7], argv[5]}};
    for (int round = -1; round < rounds; ++round) {
        for (const Program& program : programs) {
            double took = StartOnce(program);
            if (round < 0) continue;
            if (took < 0) fprintf(out, "startup_ms %s failed\n", program.label);
            else fprintf(out, "startup_ms %s %.3f\n", program.label, took);
            fflush(out);
            WaitPumping(200);  // let the ended process leave the desktop
        }
    }
    fclose(out);
    return 0;
}
