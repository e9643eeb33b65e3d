#include "paths/paths.h"

#include "paths/path_text.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "gui/scoped.h"

static_assert(kProbeNameLimit == MAX_PATH, "probe names are cut at MAX_PATH");

int64_t ProbeFileSize(const char* path) {
    ProbeName prepared = PrepareProbeName(path);
    if (prepared.kind == ProbeNameKind::Missing) return kProbeMissing;
    const Text& name = prepared.name;

    // "C:", "C:\" and any "C:x" are asked of the drive, never looked up as files.
    if (prepared.kind == ProbeNameKind::Drive)
        return GetDriveTypeA(name.c_str()) > DRIVE_NO_ROOT_DIR ? kProbeDirectory : kProbeMissing;

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(name.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        // A share root such as \\server\share has no find entry of its own.
        if (IsNetworkName(name.c_str())) {
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
    return DirectoryPart(path);
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
