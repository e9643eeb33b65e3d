#include "app/program.h"

std::string ProgramName;
std::string ProgramVersion;

std::string DisplayTitle() {
    return ProgramName + " " + ProgramVersion;
}
