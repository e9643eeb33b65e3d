#include "app/program.h"

const char* ProgramName = "";
const char* ProgramVersion = "";

Text DisplayTitle() {
    return Text(ProgramName) + " " + ProgramVersion;
}
