// The real Tarvolin.exe in a hostile environment: very long program and
// current directories, a Startup folder that cannot be written, a broken tray
// image, and floods of clicks and close requests behind a message box.
#include <gtest/gtest.h>

#include "harness.h"

#include <shellapi.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <string>

#include "link_reader.h"

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;
constexpr DWORD kOnePass = 600;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string StartupFolder() {
    char folder[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, 0, folder) != S_OK) return std::string();
    return std::string(folder) + "\\";
}

// Whether the shell holds tray icon 1 of `window`: the shell refuses to
// change an icon it does not have, and a change of nothing changes nothing.
bool ShellHasTrayIcon(HWND window) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// A chain of folders below `base` made with the wide calls, so it may pass
// MAX_PATH; returns the ANSI path with a trailing backslash.
std::string MakeDeepFolder(const std::string& base, size_t atLeast) {
    std::string path = base;
    std::wstring wide = L"\\\\?\\" + std::wstring(path.begin(), path.end());
    for (char level = 'a'; path.size() < atLeast; ++level) {
        std::string leaf(std::min<size_t>(40, atLeast - path.size() + 1 > 2 ? atLeast - path.size() : 2), level);
        path += leaf + "\\";
        wide += std::wstring(leaf.begin(), leaf.end()) + L"\\";
        CreateDirectoryW(wide.c_str(), nullptr);
    }
    return path;
}

std::wstring LongName(const std::string& path) {
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

// The first part of `path` (split at backslashes, the drive left out) that
// the file holds neither as ANSI nor as UTF-16 text; empty when all are there.
std::string MissingPathPart(const std::string& file, const std::string& path) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t start = path.find('\\') + 1;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start), wide;
        for (char c : part) wide += std::string{c, '\0'};
        if (bytes.find(part) == std::string::npos && bytes.find(wide) == std::string::npos) return part;
        start = end + 1;
    }
    return std::string();
}

class HostileEnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Taskbar(), nullptr);
        ResetTaskbar();
        startup_ = StartupFolder();
        ASSERT_FALSE(startup_.empty());
        DeleteFileA((startup_ + "Tarvolin.lnk").c_str());
    }
    void TearDown() override {
        DeleteFileA((startup_ + "Tarvolin.lnk").c_str());
        ResetTaskbar();
    }

    // The watcher works and the tool ends cleanly on a close request.
    void ExpectWatcherAndCleanEnd(RunningTool& tool, const std::string& what) {
        {
            FullScreenWindow fullScreen;
            EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, kOnePass)) << what;
        }
        EXPECT_TRUE(WaitUntil([] { return TaskbarVisible(); }, kOnePass)) << what;
        EXPECT_EQ(FindMessageBox(tool.process.dwProcessId).window, nullptr) << what;
        PostMessageA(tool.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(tool.WaitExit(5000), 0) << what;
    }

    // Chooses "Autostart" and waits until the shortcut's presence is `on`.
    bool ToggleTo(RunningTool& tool, bool on) {
        PostMessageA(tool.window, WM_COMMAND, 1, 0);
        return WaitUntil([&] { return Exists(startup_ + "Tarvolin.lnk") == on; }, 3000);
    }

    std::string startup_;
};

TEST_F(HostileEnvironmentTest, ProgramInADirectoryOf240Characters) {
    ProgramFolder scratch("unused.txt", false, "deep");
    std::string deep = MakeDeepFolder(scratch.dir, 240);
    ASSERT_GE(deep.size(), 240u);
    ASSERT_LT(deep.size() + strlen("Tarvolin.exe"), static_cast<size_t>(MAX_PATH));
    ASSERT_TRUE(CopyFileA(BuiltProgramPath().c_str(), (deep + "Tarvolin.exe").c_str(), FALSE));

    // Started from there, and from elsewhere (found through its own path).
    for (const std::string& current : {deep, scratch.dir}) {
        RunningTool tool;
        ASSERT_TRUE(StartTool(tool, deep + "Tarvolin.exe", current)) << current.size();
        ASSERT_TRUE(ToggleTo(tool, true)) << "shortcut not written";
        LinkFields link = ReadLink(startup_ + "Tarvolin.lnk");
        EXPECT_TRUE(link.loaded);
        EXPECT_EQ(link.target, Wide(deep + "Tarvolin.exe"));
        EXPECT_EQ(link.workingDirectory, Wide(deep));
        ASSERT_TRUE(ToggleTo(tool, false)) << "shortcut not deleted";
        ExpectWatcherAndCleanEnd(tool, "program in a " + std::to_string(deep.size()) + "-character directory");
    }
}

// Wine starts no process in a current directory beyond MAX_PATH (CreateProcess
// refuses it, and with an environment block given it even corrupts the
// caller's heap), so the longest current directory the tool can be given is
// just under 260 characters; everything it builds on it (the program file,
// the tray image, the shortcut target) is then longer than MAX_PATH.
TEST_F(HostileEnvironmentTest, CurrentDirectoryAtTheLimit) {
    ProgramFolder folder;
    std::string deep = MakeDeepFolder(folder.dir, 250);
    ASSERT_GE(deep.size(), 250u);
    ASSERT_LT(deep.size(), static_cast<size_t>(MAX_PATH));
    ASSERT_GT(deep.size() + strlen("Tarvolin.exe"), static_cast<size_t>(MAX_PATH));

    // Without the program file there: the tool finds itself in its own folder.
    {
        RunningTool tool;
        ASSERT_TRUE(StartTool(tool, folder.exe, deep)) << "not started from a long current directory";
        EXPECT_TRUE(WaitUntil([&] { return ShellHasTrayIcon(tool.window); }, 2000))
            << "tray image not found after moving to the program folder";
        ASSERT_TRUE(ToggleTo(tool, true));
        EXPECT_EQ(ReadLink(startup_ + "Tarvolin.lnk").target, Wide(folder.exe));
        ASSERT_TRUE(ToggleTo(tool, false));
        ExpectWatcherAndCleanEnd(tool, "long current directory, program elsewhere");
    }
    // With a program file there too: the long directory stays current, and a
    // shortcut, if one is written, names the whole path, not a cut one.
    ASSERT_TRUE(CopyFileW(LongName(folder.exe).c_str(), LongName(deep + "Tarvolin.exe").c_str(), FALSE));
    {
        RunningTool tool;
        ASSERT_TRUE(StartTool(tool, folder.exe, deep));
        PostMessageA(tool.window, WM_COMMAND, 1, 0);
        PumpMessages(500);
        ASSERT_TRUE(tool.Running());
        if (Exists(startup_ + "Tarvolin.lnk")) {
            // Wine's link object reads back no target path beyond MAX_PATH, so
            // the file itself is searched: its item list must hold every part
            // of the whole path, the last folder and the file name included.
            std::string target = deep + "Tarvolin.exe";
            LinkFields link = ReadLink(startup_ + "Tarvolin.lnk");
            if (!link.target.empty()) {
                EXPECT_EQ(link.target, Wide(target));
            }
            EXPECT_EQ(MissingPathPart(startup_ + "Tarvolin.lnk", target), "") << "a shortcut to a cut path starts nothing";
            std::printf("shortcut written for a %u-character target\n", static_cast<unsigned>(target.size()));
        } else {
            std::printf("no shortcut written for a %u-character target\n",
                        static_cast<unsigned>(deep.size() + strlen("Tarvolin.exe")));
        }
        ExpectWatcherAndCleanEnd(tool, "long current directory holding the program");
    }
}

// Points the user's Startup folder somewhere else for the test's duration.
class StartupFolderRedirect {
public:
    explicit StartupFolderRedirect(const std::string& folder) {
        for (int i = 0; i < 2; ++i) {
            HKEY key = nullptr;
            RegCreateKeyExA(HKEY_CURRENT_USER, kKeys[i], 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
            char value[1024] = {};
            DWORD size = sizeof(value) - 1, type = 0;
            had_[i] = RegQueryValueExA(key, "Startup", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                      ERROR_SUCCESS;
            saved_[i] = value;
            types_[i] = type;
            RegSetValueExA(key, "Startup", 0, i == 0 ? REG_EXPAND_SZ : REG_SZ,
                           reinterpret_cast<const BYTE*>(folder.c_str()), static_cast<DWORD>(folder.size() + 1));
            RegCloseKey(key);
        }
    }
    ~StartupFolderRedirect() {
        for (int i = 0; i < 2; ++i) {
            HKEY key = nullptr;
            RegOpenKeyExA(HKEY_CURRENT_USER, kKeys[i], 0, KEY_ALL_ACCESS, &key);
            if (had_[i])
                RegSetValueExA(key, "Startup", 0, types_[i], reinterpret_cast<const BYTE*>(saved_[i].c_str()),
                               static_cast<DWORD>(saved_[i].size() + 1));
            else
                RegDeleteValueA(key, "Startup");
            RegCloseKey(key);
        }
    }

private:
    static constexpr const char* kKeys[2] = {
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
    bool had_[2] = {};
    std::string saved_[2];
    DWORD types_[2] = {};
};

// Names of the entries of a folder (no recursion), for before/after checks.
std::string Listing(const std::string& folder) {
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names += std::string(found.cFileName) + "|" + std::to_string(found.nFileSizeLow) + "\n";
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

TEST_F(HostileEnvironmentTest, StartupFolderThatCannotBeWritten) {
    ProgramFolder folder;
    ProgramFolder place("unused.txt", false, "startup-place");
    std::string blocker = place.dir + "Startup";
    {
        std::ofstream(blocker, std::ios::binary) << "a file standing where the folder should be";
    }
    struct Case {
        const char* name;
        std::string startup;
    } cases[] = {
        {"missing folder", place.dir + "Missing\\Startup"},
        {"a file in its place", blocker},
    };
    for (const Case& c : cases) {
        std::string beforeProgram = Listing(folder.dir), beforePlace = Listing(place.dir);
        {
            StartupFolderRedirect redirect(c.startup);
            RunningTool tool;
            ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir)) << c.name;
            for (int toggle = 0; toggle < 3; ++toggle) PostMessageA(tool.window, WM_COMMAND, 1, 0);
            PumpMessages(1000);
            EXPECT_TRUE(tool.Running()) << c.name;
            EXPECT_FALSE(Exists(c.startup + "\\Tarvolin.lnk")) << c.name;
            ExpectWatcherAndCleanEnd(tool, c.name);
        }
        EXPECT_EQ(Listing(folder.dir), beforeProgram) << c.name << ": written beside the program";
        EXPECT_EQ(Listing(place.dir), beforePlace) << c.name << ": written where the folder should be";
        EXPECT_FALSE(Exists(place.dir + "Missing")) << c.name << ": the missing folder was made";
        EXPECT_FALSE(Exists(startup_ + "Tarvolin.lnk")) << c.name << ": written into the real Startup folder";
    }
    EXPECT_EQ(StartupFolder(), startup_) << "the Startup folder setting was not restored";
}

TEST_F(HostileEnvironmentTest, BrokenTrayImage) {
    std::string garbage(4096, '\0');
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919u + 13u) >> 3);
    // An icon directory that promises one huge image far beyond the file.
    const char lyingIcon[] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0,
                              '\xFF', '\xFF', '\xFF', '\x7F', 22, 0, 0, 0};
    struct Case {
        const char* name;
        std::string content;
    } cases[] = {
        {"empty", ""},
        {"garbage", garbage},
        {"lying icon directory", std::string(lyingIcon, sizeof(lyingIcon))},
        {"bitmap header only", std::string("BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00", 14)},
    };
    {
        ProgramFolder good;
        RunningTool tool;
        ASSERT_TRUE(StartTool(tool, good.exe, good.dir));
        EXPECT_TRUE(WaitUntil([&] { return ShellHasTrayIcon(tool.window); }, 2000)) << "the probe sees a good icon";
        PostMessageA(tool.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(tool.WaitExit(5000), 0);
        EXPECT_FALSE(ShellHasTrayIcon(tool.window)) << "the end removes the icon";
    }
    for (const Case& c : cases) {
        ProgramFolder folder("Tarvolin.exe", false);
        CreateDirectoryA((folder.dir + "Grafiken").c_str(), nullptr);
        std::ofstream(folder.dir + "Grafiken\\Icon.ico", std::ios::binary) << c.content;
        RunningTool tool;
        ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir)) << c.name;
        PumpMessages(300);
        EXPECT_FALSE(ShellHasTrayIcon(tool.window)) << c.name << ": no usable image, so no tray icon";
        ExpectWatcherAndCleanEnd(tool, c.name);
    }
}

TEST_F(HostileEnvironmentTest, FloodOfClicksAndCloseRequestsBehindAMessageBox) {
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir));
    DWORD id = tool.process.dwProcessId;
    PostMessageA(tool.window, WM_COMMAND, 2, 0);
    MessageBoxSeen box;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(id)).window != nullptr; }, 3000));
    for (int i = 0; i < 300; ++i) {
        PostMessageA(tool.window, kTrayCallback, 1, WM_RBUTTONDOWN);
        PostMessageA(tool.window, kTrayCallback, 1, WM_RBUTTONUP);
        if (i % 50 == 25) PostMessageA(tool.window, WM_CLOSE, 0, 0);
    }
    PumpMessages(500);
    EXPECT_TRUE(tool.Running()) << "ended while the box was open";
    EXPECT_FALSE(MenuOpen(id)) << "a menu opened over the box";
    EXPECT_NE(FindMessageBox(id).window, nullptr) << "the box went away by itself";

    // After the box: the first queued press opens the menu; once it is
    // dismissed, the close request behind it ends the program.
    CloseMessageBox(box);
    ASSERT_TRUE(WaitUntil([&] { return MenuOpen(id); }, 3000)) << "the queued press did not open the menu";
    DismissMenu(id);
    EXPECT_EQ(tool.WaitExit(5000), 0);
}

}  // namespace

namespace {

// Messages the tool does not expect change nothing: unknown commands,
// control notifications, odd tray callbacks, a burst of setting changes.
TEST_F(HostileEnvironmentTest, StrayMessagesAreIgnored) {
    ProgramFolder folder;
    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir));
    DWORD id = tool.process.dwProcessId;
    struct Stray {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } strays[] = {
        {WM_COMMAND, 0, 0},
        {WM_COMMAND, 4, 0},
        {WM_COMMAND, 0xFFFF, 0},
        {WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0x1234},  // a control's notification, not the menu
        {WM_COMMAND, MAKEWPARAM(3, 1), 0},                // an accelerator, not the menu
        {kTrayCallback, 1, 0},
        {kTrayCallback, 1, WM_MOUSEMOVE},
        {kTrayCallback, 1, static_cast<LPARAM>(0xFFFFFFFF)},
        {kTrayCallback, 0xFFFF, WM_LBUTTONDOWN},
        {WM_SETTINGCHANGE, 0, 0},
    };
    for (int round = 0; round < 50; ++round)
        for (const Stray& stray : strays) PostMessageA(tool.window, stray.message, stray.wParam, stray.lParam);
    PumpMessages(700);
    EXPECT_TRUE(tool.Running());
    EXPECT_FALSE(MenuOpen(id));
    EXPECT_EQ(FindMessageBox(id).window, nullptr);
    EXPECT_FALSE(Exists(startup_ + "Tarvolin.lnk")) << "a stray command toggled autostart";
    // Still answers the real thing, with the menu font made afresh.
    PostMessageA(tool.window, kTrayCallback, 1, WM_RBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return MenuOpen(id); }, 3000));
    DismissMenu(id);
    EXPECT_TRUE(WaitUntil([&] { return !MenuOpen(id); }, 3000));
    ExpectWatcherAndCleanEnd(tool, "after stray messages");
}

}  // namespace
