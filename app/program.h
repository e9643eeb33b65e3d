#pragma once
// The program's name and version, fixed at start-up.
#include "paths/text.h"

extern const char* ProgramName;     // "Tarvolin": base name of Tarvolin.exe and Tarvolin.lnk
extern const char* ProgramVersion;  // "1.0.0"

// "Tarvolin 1.0.0": window title, tray tooltip, first line of the information box.
Text DisplayTitle();
