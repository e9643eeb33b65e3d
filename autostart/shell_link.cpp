#include "autostart/shell_link.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "gui/scoped.h"
#include "paths/paths.h"

namespace {

std::wstring FromAnsi(const std::string& text) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string TextOrEmpty(const char* text) {
    return text ? std::string(text) : std::string();
}

}  // namespace

int CreateShellLink(const char* target, const char* linkFile, const char* workingDirectory, const char* arguments,
                    int showCommand, const char* description, int hotkey, const char* iconFile, int iconIndex) {
    std::string targetText = TextOrEmpty(target);
    std::string iconText = TextOrEmpty(iconFile);
    std::string directoryText = TextOrEmpty(workingDirectory);
    if (iconText == "|") iconText = targetText;
    if (directoryText.empty()) directoryText = DirectoryOf(targetText.c_str());

    ComInitScope com;
    IShellLinkW* rawLink = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                         reinterpret_cast<void**>(&rawLink)) != S_OK)
        return 0;
    ComPtr<IShellLinkW> link(rawLink);

    link->SetPath(FromAnsi(targetText).c_str());
    link->SetArguments(FromAnsi(TextOrEmpty(arguments)).c_str());
    link->SetWorkingDirectory(FromAnsi(directoryText).c_str());
    link->SetDescription(FromAnsi(TextOrEmpty(description)).c_str());
    link->SetShowCmd(showCommand);
    link->SetHotkey(static_cast<WORD>(hotkey));
    link->SetIconLocation(FromAnsi(iconText).c_str(), iconIndex);

    IPersistFile* rawFile = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)) != S_OK) return 0;
    ComPtr<IPersistFile> file(rawFile);
    return file->Save(FromAnsi(TextOrEmpty(linkFile)).c_str(), TRUE) == S_OK ? 1 : 0;
}
