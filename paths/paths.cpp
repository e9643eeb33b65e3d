#include "paths/paths.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "gui/scoped.h"

namespace {

bool IsDrivePrefix(const Text& name) {
    return (name.size() == 2 || name.size() == 3) && name[1] == ':';
}

}  // namespace

int64_t ProbeFileSize(const char* path) {
    if (!path || !*path) return kProbeMissing;

    Text name(path, strnlen(path, MAX_PATH));

    // "C:", "C:\" and any "C:x" are asked of the drive, never looked up as files.
    if (IsDrivePrefix(name)) {
        if (name.size() == 2) name += '\\';
        return GetDriveTypeA(name.c_str()) > DRIVE_NO_ROOT_DIR ? kProbeDirectory : kProbeMissing;
    }

    while (!name.empty() && name.back() == '\\') name.pop_back();
    if (name.empty()) return kProbeMissing;

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(name.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        // A share root such as \\server\share has no find entry of its own.
        if (name[0] == '\\' && name[1] == '\\') {
            DWORD attributes = GetFileAttributesA(name.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                return kProbeDirectory;
        }
        return kProbeMissing;
    }
    FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return kProbeDirectory;
    return (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

Text ModuleFilePath() {
    // A path that fills the buffer was cut short; read again with more room.
    Text path;
    DWORD capacity = MAX_PATH;
    DWORD length;
    while ((length = GetModuleFileNameA(nullptr, path.resize(capacity), capacity)) >= capacity && capacity < 32768) {
        capacity *= 2;
    }
    path.resize(length < capacity ? length : 0);
    return path;
}

Text DirectoryOf(const char* path) {
    if (!path) return Text();
    if (*path == '"') ++path;
    size_t end = 0;
    for (size_t i = 0; path[i] && path[i] != '|'; ++i) {
        if (path[i] == '\\' || path[i] == '/') end = i + 1;
    }
    return Text(path, end);
}

namespace {

// The current directory through the wide call, in the ANSI code page; empty
// when a character has no ANSI form (such a path would name another file).
Text CurrentDirectoryThroughWide() {
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return Text();
    ScopedMemory<wchar_t> wide(static_cast<wchar_t*>(malloc(needed * sizeof(wchar_t))));
    if (!wide) return Text();
    DWORD length = GetCurrentDirectoryW(needed, wide.get());
    if (length == 0 || length >= needed) return Text();
    BOOL lossy = FALSE;
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.get(), static_cast<int>(length), nullptr, 0,
                                   nullptr, &lossy);
    if (size <= 0 || lossy) return Text();
    Text ansi;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.get(), static_cast<int>(length),
                        ansi.resize(static_cast<size_t>(size)), size, nullptr, nullptr);
    return ansi;
}

}  // namespace

Text CurrentDirectoryPath() {
    Text directory;
    DWORD capacity = MAX_PATH;
    DWORD length = GetCurrentDirectoryA(capacity, directory.resize(capacity));
    // A directory that does not fit is reported as the size it needs; the
    // directory can change between the two calls, so ask until it fits.
    while (length >= capacity) {
        capacity = length + 1;
        length = GetCurrentDirectoryA(capacity, directory.resize(capacity));
    }
    // Some systems refuse the ANSI call outright for directories beyond
    // MAX_PATH; the wide call still knows the whole directory.
    if (length)
        directory.resize(length);
    else
        directory = CurrentDirectoryThroughWide();
    if (!directory.empty() && directory.back() != '\\') directory += '\\';
    return directory;
}

Text SpecialFolderPath(int csidl) {
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items) return Text();
    char buffer[2048] = {};
    BOOL found = SHGetPathFromIDListA(items, buffer);
    CoTaskMemFree(items);
    if (!found || !buffer[0]) return Text();
    Text folder(buffer);
    if (folder.back() != '\\') folder += '\\';
    return folder;
}
