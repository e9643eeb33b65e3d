#pragma once
// A stand-in for the shell's taskbar, run as a process of its own: a visible
// window of class "Shell_TrayWnd" that takes notification-area requests and
// writes each one as a line to a log file, so a test can see exactly which
// icons and tooltips a program hands to the shell. Sent kAnnounceTaskbar, it
// tells every top-level window "TaskbarCreated", as a shell does once it has
// started anew.
//
// Log lines: "<ADD|MODIFY|DELETE> <window hex> <id> <flags hex> <tip>" where
// the tip is given only when the request carries one (NIF_TIP).
#include <windows.h>

#include <string>

constexpr UINT kAnnounceTaskbar = WM_APP + 50;

// Runs the stand-in until its process is ended. Returns the exit code.
int RunStandInShell(const std::string& logFile);
