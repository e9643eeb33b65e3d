#include "autostart/shell_link.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdlib>

#include "gui/scoped.h"
#include "paths/paths.h"

namespace {

// `text` in UTF-16, from the ANSI code page; null when out of memory.
ScopedMemory<wchar_t> FromAnsi(const Text& text) {
    int length = text.empty() ? 0
                              : MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    if (length < 0) length = 0;
    ScopedMemory<wchar_t> wide(static_cast<wchar_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t))));
    if (!wide) return wide;
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.get(), length);
    wide.get()[length] = L'\0';
    return wide;
}

}  // namespace

int CreateShellLink(const char* target, const char* linkFile, const char* workingDirectory, const char* arguments,
                    int showCommand, const char* description, int hotkey, const char* iconFile, int iconIndex) {
    Text targetText(target);
    Text iconText(iconFile);
    Text directoryText(workingDirectory);
    if (iconText == "|") iconText = targetText;
    if (directoryText.empty()) directoryText = DirectoryOf(targetText.c_str());

    ScopedMemory<wchar_t> widePath = FromAnsi(targetText);
    ScopedMemory<wchar_t> wideArguments = FromAnsi(arguments);
    ScopedMemory<wchar_t> wideDirectory = FromAnsi(directoryText);
    ScopedMemory<wchar_t> wideDescription = FromAnsi(description);
    ScopedMemory<wchar_t> wideIcon = FromAnsi(iconText);
    ScopedMemory<wchar_t> wideLinkFile = FromAnsi(linkFile);
    if (!widePath || !wideArguments || !wideDirectory || !wideDescription || !wideIcon || !wideLinkFile) return 0;

    ComInitScope com;
    IShellLinkW* rawLink = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                         reinterpret_cast<void**>(&rawLink)) != S_OK)
        return 0;
    ComPtr<IShellLinkW> link(rawLink);

    link->SetPath(widePath.get());
    link->SetArguments(wideArguments.get());
    link->SetWorkingDirectory(wideDirectory.get());
    link->SetDescription(wideDescription.get());
    link->SetShowCmd(showCommand);
    link->SetHotkey(static_cast<WORD>(hotkey));
    link->SetIconLocation(wideIcon.get(), iconIndex);

    IPersistFile* rawFile = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)) != S_OK) return 0;
    ComPtr<IPersistFile> file(rawFile);
    return file->Save(wideLinkFile.get(), TRUE) == S_OK ? 1 : 0;
}
