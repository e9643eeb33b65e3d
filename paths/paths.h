#pragma once
// Path and file probes on 8-bit ANSI strings. Directory results end with a
// separator or are empty, so callers can append file names directly.
#include <cstdint>

#include "paths/text.h"

// ProbeFileSize results that are not sizes.
constexpr int64_t kProbeMissing = -1;    // nothing of that name exists
constexpr int64_t kProbeDirectory = -2;  // a directory or a drive root

// Size of the file `path` names, or kProbeMissing / kProbeDirectory.
// Relative names are looked up in the current directory; '*' and '?' act as
// wildcards (the first match counts), case is ignored.
int64_t ProbeFileSize(const char* path);

// Full path of the running program file.
Text ModuleFilePath();

// Leading directory of `path`, ending with its last '\' or '/' before any '|';
// a leading double quote is skipped. Empty when there is no separator.
Text DirectoryOf(const char* path);

// The process's current directory with a trailing backslash; empty when it
// cannot be read. Directories longer than MAX_PATH are returned whole.
Text CurrentDirectoryPath();

// A shell special folder (CSIDL_*) with a trailing backslash; empty when the
// shell cannot give it.
Text SpecialFolderPath(int csidl);
