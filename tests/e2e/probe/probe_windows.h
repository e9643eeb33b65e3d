#pragma once
// What the desktop probe looks for: Tarvolin's popup menu and message boxes,
// the shell's tooltip, and a full-screen window of its own.
#include <windows.h>

#include <functional>
#include <string>

// Polls `condition` every 5 ms, handling this thread's messages, until it
// holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// A shown popup menu ("#32768") of a process that owns a Tarvolin window.
bool FindToolMenu(RECT& rect);

// Posts WM_CANCELMODE to every Tarvolin window, which ends an open menu.
void CancelToolMenus();

// Ends every process that owns a Tarvolin window; returns how many.
int EndToolProcesses();

struct SeenBox {
    std::string title;
    std::string text;
    POINT okCentre = {0, 0};  // screen position of the OK button's centre
};
// A shown message box ("#32770") of any process but the shell.
bool FindShownMessageBox(SeenBox& box);

// The text of the tool that the shell's shown tooltip window presents. The
// text lives in the shell process, so it is read through a buffer made there.
bool ShownShellTooltip(std::string& text);

struct FullScreenTimes {
    long hiddenAfterMs = -1;  // from showing the window until the taskbar was hidden
    long shownAfterMs = -1;   // from destroying it until the taskbar was visible again
};
// Shows a top-most full-screen window of class "ShockwaveFlashFullScreen" for
// `holdMs` after the taskbar went away; true when the taskbar went and came back.
bool ShowFullScreenWindow(DWORD holdMs, FullScreenTimes& times);
