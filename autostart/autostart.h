#pragma once
// The "Autostart" menu item: on exactly when Tarvolin.lnk lies in the user's
// Startup folder.
#include "paths/text.h"

// Menu and item that carry the autostart check mark.
constexpr int kTrayMenu = 1;
constexpr int kAutostartCommand = 1;

// Startup folder + "Tarvolin.lnk"; empty when the folder is unknown.
Text AutostartLinkPath();

// Sets the check mark from the Startup folder (at start-up).
void RefreshAutostartItem();

// Writes the shortcut when there is none, deletes it otherwise, then sets the
// check mark from what is really there afterwards.
void ToggleAutostart();

// The two steps above for a given Startup folder (with trailing separator, or
// empty: then nothing is written or deleted and autostart reads as off) and
// program directory; both return whether autostart is on afterwards.
bool AutostartPresentIn(const char* startupFolder);
bool ToggleAutostartIn(const char* startupFolder, const char* programDirectory);
