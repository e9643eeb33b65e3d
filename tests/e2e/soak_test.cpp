// Soak: the real Tarvolin.exe through 1000 full-screen cycles, 200 menu
// openings, 100 information boxes and 100 autostart toggles, with its kernel
// handles, private bytes and windows measured after the first hundredth part
// and at the end. They must stay flat.
#include <gtest/gtest.h>

#include "harness.h"

#include <psapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <vector>
#include <algorithm>

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;
// One watcher pass is 100 ms; a change must show within a few passes.
constexpr DWORD kFollowTimeout = 1000;

struct Figures {
    DWORD handles = 0;        // GetProcessHandleCount (Wine reports 0)
    ULONG systemHandles = 0;  // the process's entries in the system handle list
    SIZE_T privateBytes = 0;
    size_t windows = 0;  // USER objects we can see: the process's top-level windows
    DWORD gdiObjects = 0, userObjects = 0;  // GetGuiResources (Wine reports 0)
    long gdiTable = -1;  // live entries in the process's GDI handle table (Wine), -1 when unreadable
};

// Counts the kernel handles a process holds from the system-wide handle list
// (SystemHandleInformation), which Wine keeps exact where
// GetProcessHandleCount gives 0.
ULONG SystemHandleCount(DWORD processId) {
    struct Entry {
        ULONG processId;
        BYTE type, flags;
        USHORT handle;
        void* object;
        ACCESS_MASK access;
    };
    typedef LONG(WINAPI * QuerySystemInformation)(ULONG, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    LONG status;
    while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
               static_cast<LONG>(0xC0000004) &&  // STATUS_INFO_LENGTH_MISMATCH
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    const Entry* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    ULONG mine = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].processId == processId) ++mine;
    return mine;
}

// Wine keeps a GDI handle table of its own in each process, named by the
// process block (PEB offset 0x94 on 32 bits, GdiSharedHandleTable), with
// 0x10000 entries of 24 bytes whose type byte is non-zero while the object
// lives. Counting those gives the GDI objects GetGuiResources does not.
// Windows shares one table of another layout between processes, so this is
// only asked when GetGuiResources has nothing to say.
long WineGdiObjectCount(HANDLE process) {
    struct BasicInformation {
        LONG exitStatus;
        void* peb;
        ULONG_PTR affinity, priority, processId, parentId;
    } basic = {};
    typedef LONG(WINAPI * QueryInformationProcess)(HANDLE, ULONG, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryInformationProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    ULONG length = 0;
    if (!query || query(process, 0, &basic, sizeof(basic), &length) != 0 || !basic.peb) return -1;
    DWORD table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, static_cast<BYTE*>(basic.peb) + 0x94, &table, sizeof(table), &read) || !table)
        return -1;
    constexpr size_t kEntries = 0x10000, kEntrySize = 24, kTypeOffset = 14;
    std::vector<BYTE> entries(kEntries * kEntrySize);
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<ULONG_PTR>(table)), entries.data(),
                           entries.size(), &read))
        return -1;
    long live = 0;
    for (size_t i = 0; i < kEntries; ++i)
        if (entries[i * kEntrySize + kTypeOffset]) ++live;
    return live;
}

Figures Measure(HANDLE process, DWORD processId) {
    Figures figures;
    GetProcessHandleCount(process, &figures.handles);
    figures.systemHandles = SystemHandleCount(processId);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
        figures.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    figures.windows = ProcessWindows(processId, "").size();
    figures.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    figures.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    if (figures.gdiObjects == 0) figures.gdiTable = WineGdiObjectCount(process);
    return figures;
}

void Print(const char* when, const Figures& f) {
    std::printf("[soak] %-22s kernel handles %lu (GetProcessHandleCount %lu), private bytes %lu KiB, top-level windows %u, "
                "GDI table entries %ld, GetGuiResources GDI %lu USER %lu\n",
                when, f.systemHandles, static_cast<unsigned long>(f.handles), static_cast<unsigned long>(f.privateBytes / 1024),
                static_cast<unsigned>(f.windows), f.gdiTable, static_cast<unsigned long>(f.gdiObjects),
                static_cast<unsigned long>(f.userObjects));
    std::fflush(stdout);
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class SoakTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Taskbar(), nullptr);
        ResetTaskbar();
        char startup[MAX_PATH] = {};
        ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, 0, startup), S_OK);
        link_ = std::string(startup) + "\\Tarvolin.lnk";
        DeleteFileA(link_.c_str());
    }
    void TearDown() override {
        DeleteFileA(link_.c_str());
        ResetTaskbar();
    }

    // One hundredth part of the soak: 10 full-screen cycles per menu,
    // information box and toggle in the proportions 100 : 20 : 10 : 10.
    void RunPart(RunningTool& tool, int part) {
        DWORD id = tool.process.dwProcessId;
        for (int cycle = 0; cycle < 100; ++cycle) {
            {
                FullScreenWindow fullScreen;
                if (!WaitUntil([] { return !TaskbarVisible(); }, kFollowTimeout)) ++missedHides_;
            }
            if (!WaitUntil([] { return TaskbarVisible(); }, kFollowTimeout)) ++missedShows_;
        }
        for (int menu = 0; menu < 20; ++menu) {
            PostMessageA(tool.window, kTrayCallback, 1, WM_RBUTTONDOWN);
            if (!WaitUntil([&] { return MenuOpen(id); }, 3000)) {
                ++menusNotOpened_;
                continue;
            }
            DismissMenu(id);
            if (!WaitUntil([&] { return !MenuOpen(id); }, 3000)) ++menusNotClosed_;
        }
        for (int box = 0; box < 10; ++box) {
            PostMessageA(tool.window, WM_COMMAND, 2, 0);
            MessageBoxSeen seen;
            if (!WaitUntil([&] { return (seen = FindMessageBox(id)).window != nullptr; }, 3000)) {
                ++boxesNotShown_;
                continue;
            }
            CloseMessageBox(seen);
            if (!WaitUntil([&] { return FindMessageBox(id).window == nullptr; }, 3000)) ++boxesNotClosed_;
        }
        for (int toggle = 0; toggle < 10; ++toggle) {
            bool before = FileExists(link_);
            PostMessageA(tool.window, WM_COMMAND, 1, 0);
            if (!WaitUntil([&] { return FileExists(link_) != before; }, 3000)) ++togglesMissed_;
        }
        ASSERT_TRUE(tool.Running()) << "ended during part " << part;
        Figures now = Measure(tool.process.hProcess, id);
        gdiByPart_.push_back(now.gdiTable);
        std::printf("[soak] part %d done after %lu ms: missed hides %d shows %d, menus not opened %d not closed %d, "
                    "boxes not shown %d not closed %d, toggles missed %d; kernel handles %lu, GDI table %ld\n",
                    part, static_cast<unsigned long>(GetTickCount() - started_), missedHides_, missedShows_,
                    menusNotOpened_, menusNotClosed_, boxesNotShown_, boxesNotClosed_, togglesMissed_,
                    now.systemHandles, now.gdiTable);
        std::fflush(stdout);
    }

    std::string link_;
    DWORD started_ = GetTickCount();
    std::vector<long> gdiByPart_;
    int missedHides_ = 0, missedShows_ = 0, menusNotOpened_ = 0, menusNotClosed_ = 0;
    int boxesNotShown_ = 0, boxesNotClosed_ = 0, togglesMissed_ = 0;
};

TEST_F(SoakTest, ThousandCyclesLeaveHandlesMemoryAndWindowsFlat) {
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir));
    PumpMessages(300);
    Print("at start", Measure(tool.process.hProcess, tool.process.dwProcessId));

    DWORD started = GetTickCount();
    RunPart(tool, 0);
    Figures first = Measure(tool.process.hProcess, tool.process.dwProcessId);
    Print("after the first 100", first);
    // TARVOLIN_SOAK_PARTS shortens the run when looking into a failure.
    char parts[16] = "10";
    GetEnvironmentVariableA("TARVOLIN_SOAK_PARTS", parts, sizeof(parts));
    for (int part = 1; part < atoi(parts); ++part) RunPart(tool, part);
    Figures last = Measure(tool.process.hProcess, tool.process.dwProcessId);
    Print("at the end", last);
    int done = std::max(1, atoi(parts));
    std::printf("[soak] %d full-screen cycles, %d menus, %d boxes, %d toggles in %lu s\n", done * 100, done * 20,
                done * 10, done * 10, static_cast<unsigned long>((GetTickCount() - started) / 1000));

    EXPECT_EQ(missedHides_, 0);
    EXPECT_EQ(missedShows_, 0);
    EXPECT_EQ(menusNotOpened_, 0);
    EXPECT_EQ(menusNotClosed_, 0);
    EXPECT_EQ(boxesNotShown_, 0);
    EXPECT_EQ(boxesNotClosed_, 0);
    EXPECT_EQ(togglesMissed_, 0);
    EXPECT_FALSE(FileExists(link_)) << "an even number of toggles ends with autostart off";

    // Flat between the first part and the end. The tolerances lie far below
    // what one object lost per event would add over the other nine parts
    // (90 for boxes and toggles, 180 for menus, 900 for full-screen cycles)
    // and above the noise seen: private memory moves by some KiB.
    EXPECT_LE(last.systemHandles, first.systemHandles + 2);
    EXPECT_LE(last.handles, first.handles + 2);
    EXPECT_LE(last.privateBytes, first.privateBytes + 256 * 1024);
    EXPECT_EQ(last.windows, first.windows);
    EXPECT_LE(last.gdiObjects, first.gdiObjects + 2);
    // GDI objects that the system makes lazily for boxes and menus (caches)
    // still appear during the first parts (92 to 111 after the first, 111
    // at the end in the runs seen); over the second half nothing may grow.
    if (gdiByPart_.size() == 10) {
        EXPECT_LE(gdiByPart_[9], gdiByPart_[4] + 2) << "GDI objects grow in the second half";
    }
    EXPECT_LE(last.gdiTable, first.gdiTable + 32);
    if (first.gdiObjects == 0) {
        EXPECT_GT(first.gdiTable, 0) << "no GDI figures at all";
    }
    EXPECT_LE(last.userObjects, first.userObjects + 2);

    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);
}

}  // namespace
