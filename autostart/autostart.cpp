#include "autostart/autostart.h"

#include <windows.h>
#include <shlobj.h>

#include "app/program.h"
#include "autostart/shell_link.h"
#include "gui/gui.h"
#include "paths/paths.h"

namespace {

std::string LinkPathIn(const std::string& startupFolder) {
    return startupFolder.empty() ? std::string() : startupFolder + ProgramName + ".lnk";
}

}  // namespace

std::string AutostartLinkPath() {
    return LinkPathIn(SpecialFolderPath(CSIDL_STARTUP));
}

bool AutostartPresentIn(const std::string& startupFolder) {
    std::string link = LinkPathIn(startupFolder);
    return !link.empty() && ProbeFileSize(link.c_str()) != kProbeMissing;
}

bool ToggleAutostartIn(const std::string& startupFolder, const std::string& programDirectory) {
    std::string link = LinkPathIn(startupFolder);
    if (link.empty()) return false;  // never write a shortcut beside the program or into a drive root

    if (ProbeFileSize(link.c_str()) == kProbeMissing) {
        std::string target = programDirectory + ProgramName + ".exe";
        CreateShellLink(target.c_str(), link.c_str(), "", "", SW_SHOWNORMAL, "", 0, "|", 0);
    } else {
        DeleteFileA(link.c_str());
    }
    // Whatever the write or delete did, show what is there now.
    return AutostartPresentIn(startupFolder);
}

void RefreshAutostartItem() {
    GuiSetMenuCheck(kTrayMenu, kAutostartCommand, AutostartPresentIn(SpecialFolderPath(CSIDL_STARTUP)) ? 1 : 0);
}

void ToggleAutostart() {
    bool on = ToggleAutostartIn(SpecialFolderPath(CSIDL_STARTUP), CurrentDirectoryPath());
    GuiSetMenuCheck(kTrayMenu, kAutostartCommand, on ? 1 : 0);
}
