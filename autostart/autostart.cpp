#include "autostart/autostart.h"

#include <windows.h>
#include <shlobj.h>

#include "app/program.h"
#include "autostart/shell_link.h"
#include "gui/gui.h"
#include "paths/paths.h"

namespace {

Text LinkPathIn(const char* startupFolder) {
    return !startupFolder || !*startupFolder ? Text() : Text(startupFolder) + ProgramName + ".lnk";
}

}  // namespace

Text AutostartLinkPath() {
    return LinkPathIn(SpecialFolderPath(CSIDL_STARTUP).c_str());
}

bool AutostartPresentIn(const char* startupFolder) {
    Text link = LinkPathIn(startupFolder);
    return !link.empty() && ProbeFileSize(link.c_str()) != kProbeMissing;
}

bool ToggleAutostartIn(const char* startupFolder, const char* programDirectory) {
    Text link = LinkPathIn(startupFolder);
    if (link.empty()) return false;  // never write a shortcut beside the program or into a drive root

    if (ProbeFileSize(link.c_str()) == kProbeMissing) {
        Text target = Text(programDirectory) + ProgramName + ".exe";
        CreateShellLink(target.c_str(), link.c_str(), "", "", SW_SHOWNORMAL, "", 0, "|", 0);
    } else {
        DeleteFileA(link.c_str());
    }
    // Whatever the write or delete did, show what is there now.
    return AutostartPresentIn(startupFolder);
}

void RefreshAutostartItem() {
    GuiSetMenuCheck(kTrayMenu, kAutostartCommand, AutostartPresentIn(SpecialFolderPath(CSIDL_STARTUP).c_str()) ? 1 : 0);
}

void ToggleAutostart() {
    bool on = ToggleAutostartIn(SpecialFolderPath(CSIDL_STARTUP).c_str(), CurrentDirectoryPath().c_str());
    GuiSetMenuCheck(kTrayMenu, kAutostartCommand, on ? 1 : 0);
}
