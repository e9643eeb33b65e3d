// Counts the program's own ShowWindow calls through Wine's relay trace: the
// watcher must send nothing while the taskbar already matches, and exactly
// one hide (or show) per window for each change. Run by with_relay_log.sh,
// which sends this program's stderr (where the traced child writes) to the
// file named by TARVOLIN_RELAY_LOG.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "harness.h"

namespace {

// The log lines so far that record a call of `function`.
std::vector<std::string> TracedCalls(const char* function) {
    std::vector<std::string> lines;
    const char* log = getenv("TARVOLIN_RELAY_LOG");
    FILE* file = log ? fopen(log, "rb") : nullptr;
    if (!file) return lines;
    std::string marker = std::string("Call ") + function + "(";
    char line[4096];
    while (fgets(line, sizeof(line), file))
        if (strstr(line, marker.c_str())) lines.push_back(line);
    fclose(file);
    return lines;
}

struct ShowCall {
    unsigned long window;
    int command;
};

std::vector<ShowCall> ShowCalls() {
    std::vector<ShowCall> calls;
    for (const std::string& line : TracedCalls("user32.ShowWindow")) {
        ShowCall c;
        const char* call = strstr(line.c_str(), "ShowWindow(");
        if (sscanf(call, "ShowWindow(%lx,%x)", &c.window, &c.command) == 2) calls.push_back(c);
    }
    return calls;
}

// The uType argument of every MessageBoxA call: the last argument, just
// before ") ret=" (the texts before it may hold commas).
std::vector<unsigned> MessageBoxTypes() {
    std::vector<unsigned> types;
    for (const std::string& line : TracedCalls("user32.MessageBoxA")) {
        size_t end = line.find(") ret=");
        unsigned type;
        if (end != std::string::npos && end > 8 && sscanf(line.c_str() + end - 8, "%8x", &type) == 1)
            types.push_back(type);
    }
    return types;
}

unsigned long Id(HWND window) {
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window));
}

// Waits through some fifteen passes after a change, then checks that the
// change cost exactly one `command` to the taskbar and one to the button.
// Returns the number of calls in the log so far.
size_t ExpectOneCallEach(size_t before, HWND button, int command) {
    PumpMessages(1500);
    std::vector<ShowCall> calls = ShowCalls();
    EXPECT_EQ(calls.size(), before + 2) << "command " << command;
    if (calls.size() == before + 2) {
        EXPECT_EQ(calls[before].window, Id(Taskbar()));
        EXPECT_EQ(calls[before].command, command);
        EXPECT_EQ(calls[before + 1].window, Id(button));
        EXPECT_EQ(calls[before + 1].command, command);
    }
    return calls.size();
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
        before = ExpectOneCallEach(before, button.window, SW_HIDE);
    }
    ASSERT_TRUE(WaitUntil([] { return TaskbarVisible(); }, 1000));
    before = ExpectOneCallEach(before, button.window, SW_SHOW);

    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);
    EXPECT_EQ(ShowCalls().size(), before) << "ending with the taskbar visible touches nothing";
}

// The two boxes carry their icons: information, and error for the missing
// program file.
TEST(RelayTrace, MessageBoxesCarryTheirIcons) {
    ASSERT_NE(getenv("TARVOLIN_RELAY_LOG"), nullptr) << "run through with_relay_log.sh";
    size_t before = MessageBoxTypes().size();
    {
        ProgramFolder folder;
        RunningTool tool;
        ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir, {"WINEDEBUG=+relay"}));
        PostMessageA(tool.window, WM_COMMAND, 2, 0);
        MessageBoxSeen box;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(tool.process.dwProcessId)).window != nullptr; }, 5000));
        CloseMessageBox(box);
        PostMessageA(tool.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(tool.WaitExit(5000), 0);
    }
    {
        ProgramFolder folder("Umbenannt.exe", true, "renamed");
        RunningTool tool;
        ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir, {"WINEDEBUG=+relay"}, false));
        MessageBoxSeen box;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(tool.process.dwProcessId)).window != nullptr; }, 10000));
        CloseMessageBox(box);
        EXPECT_EQ(tool.WaitExit(5000), 0);
    }
    std::vector<unsigned> types = MessageBoxTypes();
    ASSERT_EQ(types.size(), before + 2);
    EXPECT_EQ(types[before] & MB_ICONMASK, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(types[before + 1] & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
    for (size_t i = before; i < types.size(); ++i) EXPECT_EQ(types[i] & MB_TYPEMASK, static_cast<unsigned>(MB_OK));
}

}  // namespace
