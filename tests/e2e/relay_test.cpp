// Counts the program's own ShowWindow calls through Wine's relay trace: the
// watcher must send nothing while the taskbar already matches, and exactly
// one hide (or show) per window for each change. Run by with_relay_log.sh,
// which sends this program's stderr (where the traced child writes) to the
// file named by TARVOLIN_RELAY_LOG.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"

namespace {

struct ShowCall {
    unsigned long window;
    int command;
};

// The "Call user32.ShowWindow(hwnd,cmd)" lines of the log so far.
std::vector<ShowCall> ShowCalls() {
    std::vector<ShowCall> calls;
    const char* log = getenv("TARVOLIN_RELAY_LOG");
    FILE* file = log ? fopen(log, "rb") : nullptr;
    if (!file) return calls;
    char line[512];
    while (fgets(line, sizeof(line), file)) {
        const char* call = strstr(line, "Call user32.ShowWindow(");
        ShowCall c;
        if (call && sscanf(call, "Call user32.ShowWindow(%lx,%x)", &c.window, &c.command) == 2) calls.push_back(c);
    }
    fclose(file);
    return calls;
}

unsigned long Id(HWND window) {
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window));
}

TEST(RelayTrace, ShowWindowOnlyOnChangesOfState) {
    ASSERT_NE(getenv("TARVOLIN_RELAY_LOG"), nullptr) << "run through with_relay_log.sh";
    ResetTaskbar();
    StandInStartButton button;
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir, {"WINEDEBUG=+relay"}));
    size_t before = ShowCalls().size();

    PumpMessages(1500);  // about fifteen passes with nothing to do
    EXPECT_EQ(ShowCalls().size(), before) << "nothing sent while no full-screen window exists";

    {
        FullScreenWindow fullScreen;
        ASSERT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, 1000));
        PumpMessages(1500);
        std::vector<ShowCall> calls = ShowCalls();
        ASSERT_EQ(calls.size(), before + 2);
        EXPECT_EQ(calls[before].window, Id(Taskbar()));
        EXPECT_EQ(calls[before].command, SW_HIDE);
        EXPECT_EQ(calls[before + 1].window, Id(button.window));
        EXPECT_EQ(calls[before + 1].command, SW_HIDE);
        before = calls.size();
    }
    ASSERT_TRUE(WaitUntil([] { return TaskbarVisible(); }, 1000));
    PumpMessages(1500);
    std::vector<ShowCall> calls = ShowCalls();
    ASSERT_EQ(calls.size(), before + 2);
    EXPECT_EQ(calls[before].window, Id(Taskbar()));
    EXPECT_EQ(calls[before].command, SW_SHOW);
    EXPECT_EQ(calls[before + 1].window, Id(button.window));
    EXPECT_EQ(calls[before + 1].command, SW_SHOW);

    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);
    EXPECT_EQ(ShowCalls().size(), calls.size()) << "ending with the taskbar visible touches nothing";
}

}  // namespace
