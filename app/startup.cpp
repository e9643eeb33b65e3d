#include <windows.h>

#include "app/app.h"
#include "app/program.h"
#include "app/texts.h"
#include "autostart/autostart.h"
#include "gui/gui.h"
#include "paths/paths.h"
#include "watcher/watcher.h"

void CheckProgramFile() {
    Text programFile = Text(ProgramName) + ".exe";
    if (ProbeFileSize(programFile.c_str()) == kProbeMissing) {
        Text programDirectory = DirectoryOf(ModuleFilePath().c_str());
        if (!programDirectory.empty()) SetCurrentDirectoryA(programDirectory.c_str());
    }
    if (ProbeFileSize(programFile.c_str()) == kProbeMissing) {
        GuiMessageBox(kErrorTitle, MissingProgramFileText().c_str(), MB_ICONERROR);
        Shutdown();
    }
}

void LoadTrayImage() {
    GuiLoadImage(kTrayImage, kTrayImageFile);
}

void SetupTrayIcon() {
    GuiAddTrayIcon(kTrayIcon, kHiddenWindow, kTrayImage);
    GuiSetTrayTip(kTrayIcon, DisplayTitle().c_str());
}

void BuildTrayMenu() {
    if (!GuiCreateMenu(kTrayMenu, 1)) return;
    GuiAppendMenuItem(kTrayMenu, CommandAutostart, kMenuAutostart);
    GuiAppendMenuItem(kTrayMenu, CommandInformation, kMenuInformation);
    GuiAppendMenuItem(kTrayMenu, CommandQuit, kMenuQuit);
}

void Shutdown() {
    StopTaskbarWatcher();
    GuiRelease();
    ExitProcess(0);
}
