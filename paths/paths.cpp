#include "paths/paths.h"

#include "paths/path_text.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

static_assert(kProbeNameLimit == MAX_PATH, "probe names are cut at MAX_PATH");

int64_t ProbeFileSize(const char* path) {
    ProbeName prepared = PrepareProbeName(path);
    if (prepared.kind == ProbeNameKind::Missing) return kProbeMissing;
    const std::string& name = prepared.name;

    // "C:", "C:\" and any "C:x" are asked of the drive, never looked up as files.
    if (prepared.kind == ProbeNameKind::Drive)
        return GetDriveTypeA(name.c_str()) > DRIVE_NO_ROOT_DIR ? kProbeDirectory : kProbeMissing;

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(name.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        // A share root such as \\server\share has no find entry of its own.
        if (IsNetworkName(name)) {
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

std::string ModuleFilePath() {
    // A path that fills the buffer was cut short; read again with more room.
    std::vector<char> buffer(MAX_PATH);
    DWORD length;
    while ((length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) >= buffer.size() &&
           buffer.size() < 32768) {
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data(), length < buffer.size() ? length : 0);
}

std::string DirectoryOf(const char* path) {
    return DirectoryPart(path);
}

namespace {

// The current directory through the wide call, in the ANSI code page; empty
// when a character has no ANSI form (such a path would name another file).
std::string CurrentDirectoryThroughWide() {
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return std::string();
    std::vector<wchar_t> wide(needed);
    DWORD length = GetCurrentDirectoryW(needed, wide.data());
    if (length == 0 || length >= needed) return std::string();
    BOOL lossy = FALSE;
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(length), nullptr, 0,
                                   nullptr, &lossy);
    if (size <= 0 || lossy) return std::string();
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(length), &ansi[0], size, nullptr,
                        nullptr);
    return ansi;
}

}  // namespace

std::string CurrentDirectoryPath() {
    std::vector<char> buffer(MAX_PATH);
    DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    // A directory that does not fit is reported as the size it needs; the
    // directory can change between the two calls, so ask until it fits.
    while (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    // Some systems refuse the ANSI call outright for directories beyond
    // MAX_PATH; the wide call still knows the whole directory.
    std::string directory = length ? std::string(buffer.data(), length) : CurrentDirectoryThroughWide();
    if (!directory.empty() && directory.back() != '\\') directory += '\\';
    return directory;
}

std::string SpecialFolderPath(int csidl) {
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items) return std::string();
    char buffer[2048] = {};
    BOOL found = SHGetPathFromIDListA(items, buffer);
    CoTaskMemFree(items);
    if (!found || !buffer[0]) return std::string();
    std::string folder(buffer);
    if (folder.back() != '\\') folder += '\\';
    return folder;
}
