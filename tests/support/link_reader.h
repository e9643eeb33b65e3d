#pragma once
// Reads a shortcut back through the shell's link object.
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "gui/scoped.h"

struct LinkFields {
    bool loaded = false;
    std::wstring target, arguments, workingDirectory, description, iconFile;
    int showCommand = -1;
    WORD hotkey = 0xFFFF;
    int iconIndex = -1;
};

inline std::wstring Wide(const std::string& ansi) {
    if (ansi.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &out[0], n);
    return out;
}

inline LinkFields ReadLink(const std::string& linkFile) {
    LinkFields fields;
    ComInitScope com;
    IShellLinkW* rawLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&rawLink))))
        return fields;
    ComPtr<IShellLinkW> link(rawLink);
    IPersistFile* rawFile = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) return fields;
    ComPtr<IPersistFile> file(rawFile);
    if (FAILED(file->Load(Wide(linkFile).c_str(), STGM_READ))) return fields;

    wchar_t buffer[1024];
    // SLGP_RAWPATH: the target as stored, without resolving it on disk.
    buffer[0] = 0;
    link->GetPath(buffer, 1024, nullptr, SLGP_RAWPATH);
    fields.target = buffer;
    buffer[0] = 0;
    link->GetArguments(buffer, 1024);
    fields.arguments = buffer;
    buffer[0] = 0;
    link->GetWorkingDirectory(buffer, 1024);
    fields.workingDirectory = buffer;
    buffer[0] = 0;
    link->GetDescription(buffer, 1024);
    fields.description = buffer;
    buffer[0] = 0;
    link->GetIconLocation(buffer, 1024, &fields.iconIndex);
    fields.iconFile = buffer;
    // Show command and hot key straight from the file's fixed header (offsets
    // 0x3C and 0x40): some link objects report 1 for any stored show command.
    FILE* raw = fopen(linkFile.c_str(), "rb");
    unsigned char header[0x4C] = {};
    bool complete = raw && fread(header, 1, sizeof(header), raw) == sizeof(header);
    if (raw) fclose(raw);
    if (!complete) return fields;
    fields.showCommand = header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | header[0x3F] << 24;
    fields.hotkey = static_cast<WORD>(header[0x40] | header[0x41] << 8);
    fields.loaded = true;
    return fields;
}
