#pragma once
// The program's name and version, fixed at start-up.
#include <string>

extern std::string ProgramName;     // "Tarvolin": base name of Tarvolin.exe and Tarvolin.lnk
extern std::string ProgramVersion;  // "1.0.0"

// "Tarvolin 1.0.0": window title, tray tooltip, first line of the information box.
std::string DisplayTitle();
