#include <windows.h>

#include "app/app.h"
#include "app/texts.h"
#include "autostart/autostart.h"
#include "gui/gui.h"

GuiEvent CurrentEvent;

void ShowInformation() {
    GuiMessageBox(kInformationTitle, InformationText().c_str(), MB_ICONINFORMATION);
}

void RunEventLoop() {
    for (;;) {
        CurrentEvent = GuiWaitEvent();
        if (CurrentEvent.kind == EventKind::Tray && CurrentEvent.detail == TrayRightDown) {
            GuiShowMenu(kTrayMenu, kHiddenWindow);
        } else if (CurrentEvent.kind == EventKind::Menu) {
            switch (CurrentEvent.detail) {
            case CommandAutostart: ToggleAutostart(); break;
            case CommandInformation: ShowInformation(); break;
            case CommandQuit: CurrentEvent = {EventKind::Close, 0}; break;
            default: break;
            }
        }
        if (CurrentEvent.kind == EventKind::Close) return;
    }
}
