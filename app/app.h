#pragma once
// The main thread's procedures, in the order the entry calls them.
#include "gui/events.h"

// Numbers of the GUI layer's objects.
constexpr int kHiddenWindow = 0;
constexpr int kTrayImage = 1;
constexpr int kTrayIcon = 1;
// The tray menu is kTrayMenu (autostart/autostart.h).

// Menu command ids.
enum MenuCommand { CommandAutostart = 1, CommandInformation = 2, CommandQuit = 3 };

// The event last taken from the GUI layer.
extern GuiEvent CurrentEvent;

// Makes sure Tarvolin.exe is in the current directory, else in the program's
// own directory (which then becomes current); ends the program when neither.
void CheckProgramFile();
void LoadTrayImage();
void SetupTrayIcon();
void BuildTrayMenu();
// Returns when the close event was taken.
void RunEventLoop();
void ShowInformation();
// Releases the GUI objects, gives back a hidden taskbar, exits with code 0.
[[noreturn]] void Shutdown();
