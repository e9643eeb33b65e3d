#pragma once
// The program's own texts, in Windows-1252.
#include "paths/text.h"

extern const char kErrorTitle[];        // "Fehler"
extern const char kInformationTitle[];  // "Informationen"
extern const char kMenuAutostart[];     // "Autostart"
extern const char kMenuInformation[];   // "Informationen"
extern const char kMenuQuit[];          // "Beenden"
extern const char kTrayImageFile[];     // "Grafiken\Icon.ico"

// The box shown when the program file is missing.
Text MissingProgramFileText();

// The information box: title line and four notice lines, separated by CR.
Text InformationText();
