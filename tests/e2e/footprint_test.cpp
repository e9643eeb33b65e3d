// Across a whole session (start, full screen, menu, information box,
// autostart on, quit) the tool writes nothing but its Startup shortcut: the
// program folder and the user's profile are compared before and after.
#include <gtest/gtest.h>

#include "harness.h"

#include <shlobj.h>

#include <map>
#include <string>

namespace {

struct Entry {
    DWORD attributes;
    ULONGLONG size;
    FILETIME written;
};

// Every file and folder below `folder` (ending with a backslash).
void Snapshot(const std::string& folder, std::map<std::string, Entry>& entries) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = folder + name;
        bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A folder's own time changes with its content; the content is compared.
        FILETIME written = directory ? FILETIME{} : found.ftLastWriteTime;
        entries[path] = {found.dwFileAttributes,
                         (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow, written};
        if (directory && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) Snapshot(path + "\\", entries);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::string Differences(const std::map<std::string, Entry>& before, const std::map<std::string, Entry>& after) {
    std::string changes;
    for (const auto& item : after) {
        auto old = before.find(item.first);
        if (old == before.end())
            changes += "added    " + item.first + "\n";
        else if (old->second.size != item.second.size || old->second.attributes != item.second.attributes ||
                 CompareFileTime(&old->second.written, &item.second.written) != 0)
            changes += "changed  " + item.first + "\n";
    }
    for (const auto& item : before)
        if (!after.count(item.first)) changes += "removed  " + item.first + "\n";
    return changes;
}

std::string Folder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return std::string(path) + "\\";
}

TEST(Footprint, AWholeSessionWritesOnlyTheStartupShortcut) {
    ASSERT_NE(Taskbar(), nullptr);
    std::string profile = Folder(CSIDL_PROFILE);
    std::string link = Folder(CSIDL_STARTUP) + "Tarvolin.lnk";
    ASSERT_GT(profile.size(), 3u);
    DeleteFileA(link.c_str());
    ProgramFolder folder;  // under the profile's temp folder, so inside the snapshot as well
    ASSERT_EQ(folder.dir.compare(0, profile.size(), profile), 0) << "program folder outside the profile";

    std::map<std::string, Entry> before, after;
    Snapshot(profile, before);
    ASSERT_GT(before.size(), 10u) << "the profile snapshot saw almost nothing";

    RunningTool tool;
    ASSERT_TRUE(StartTool(tool, folder.exe, folder.dir));
    DWORD id = tool.process.dwProcessId;
    {
        FullScreenWindow fullScreen;
        EXPECT_TRUE(WaitUntil([] { return !TaskbarVisible(); }, 600));
    }
    EXPECT_TRUE(WaitUntil([] { return TaskbarVisible(); }, 600));
    PostMessageA(tool.window, WM_APP + 1, 1, WM_RBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return MenuOpen(id); }, 3000));
    DismissMenu(id);
    EXPECT_TRUE(WaitUntil([&] { return !MenuOpen(id); }, 3000));
    PostMessageA(tool.window, WM_COMMAND, 2, 0);
    MessageBoxSeen box;
    EXPECT_TRUE(WaitUntil([&] { return (box = FindMessageBox(id)).window != nullptr; }, 3000));
    CloseMessageBox(box);
    EXPECT_TRUE(WaitUntil([&] { return FindMessageBox(id).window == nullptr; }, 3000));
    PostMessageA(tool.window, WM_COMMAND, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; }, 3000));
    PostMessageA(tool.window, WM_COMMAND, 3, 0);
    EXPECT_EQ(tool.WaitExit(5000), 0);

    Snapshot(profile, after);
    EXPECT_EQ(Differences(before, after), "added    " + link + "\n");
    DeleteFileA(link.c_str());
}

}  // namespace
