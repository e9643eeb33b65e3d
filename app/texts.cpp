#include "app/texts.h"

#include "app/program.h"

// Non-ASCII characters are written as Windows-1252 escapes so that the bytes
// in the binary do not depend on the compiler's source or execution charset.
const char kErrorTitle[] = "Fehler";
const char kInformationTitle[] = "Informationen";
const char kMenuAutostart[] = "Autostart";
const char kMenuInformation[] = "Informationen";
const char kMenuQuit[] = "Beenden";
const char kTrayImageFile[] = "Grafiken\\Icon.ico";

Text MissingProgramFileText() {
    return Text("Die Programmdatei ''") + ProgramName +
           ".exe'' konnte im Programmverzeichnis nicht gefunden werden.\r"
           "Um das Problem beheben zu k\xF6nnen, instalieren Sie diese Anwendung neu.";
}

Text InformationText() {
    return DisplayTitle() +
           "\r\xA9 2012 Tarvolin-Team"
           "\rAlle Rechte vorbehalten."
           "\rwww.tarvolin.example"
           "\rkontakt@tarvolin.example";
}
