#pragma once
// A throwaway folder under the system's temp folder, removed with everything
// in it when the test ends.
#include <windows.h>
#include <shellapi.h>

#include <fstream>
#include <string>

class TempDir {
public:
    explicit TempDir(const std::string& leaf = "tarvolin-test") {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        char unique[MAX_PATH];
        GetTempFileNameA(base, "tv", 0, unique);  // creates a file: reuse its unique name as a folder
        DeleteFileA(unique);
        path_ = std::string(unique) + "-" + leaf + "\\";
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempDir() { RemoveTree(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Ends with a backslash.
    const std::string& path() const { return path_; }

    std::string WriteFile(const std::string& name, size_t size) const {
        std::string full = path_ + name;
        std::ofstream(full, std::ios::binary) << std::string(size, 'x');
        return full;
    }
    std::string MakeDir(const std::string& name) const {
        std::string full = path_ + name;
        CreateDirectoryA(full.c_str(), nullptr);
        return full;
    }

private:
    static void RemoveTree(const std::string& folder) {
        std::string from = folder.substr(0, folder.size() - 1);
        from.push_back('\0');
        from.push_back('\0');
        SHFILEOPSTRUCTA operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NO_UI;
        SHFileOperationA(&operation);
    }

    std::string path_;
};

// Restores the current directory when the test ends.
class CurrentDirectoryScope {
public:
    CurrentDirectoryScope() {
        wchar_t saved[32768];
        GetCurrentDirectoryW(32768, saved);
        saved_ = saved;
    }
    ~CurrentDirectoryScope() { SetCurrentDirectoryW(saved_.c_str()); }

private:
    std::wstring saved_;
};
