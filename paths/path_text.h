#pragma once
// The pure text work of the path probes: no system calls, so it can be
// built and checked anywhere (also natively under sanitizers).
#include <cstddef>
#include <cstring>

#include "paths/text.h"

// ProbeFileSize looks at no more than this many characters of its argument.
constexpr size_t kProbeNameLimit = 260;

// How ProbeFileSize must treat a name once it is prepared.
enum class ProbeNameKind {
    Missing,  // absent, empty or only backslashes: nothing to look up
    Drive,    // "C:", "C:\" or any "C:x": ask the drive ("C:\" or "C:x" in `name`)
    File,     // look `name` up (trailing backslashes removed)
};

struct ProbeName {
    ProbeNameKind kind = ProbeNameKind::Missing;
    Text name;
};

// Cuts the name to kProbeNameLimit characters (never reading past them, so
// the argument need not be terminated within that length), recognises drive
// names and drops trailing backslashes.
inline ProbeName PrepareProbeName(const char* path) {
    ProbeName prepared;
    if (!path || !*path) return prepared;
    size_t length = 0;
    while (length < kProbeNameLimit && path[length]) ++length;
    Text name(path, length);

    if ((name.size() == 2 || name.size() == 3) && name[1] == ':') {
        if (name.size() == 2) name += '\\';
        prepared.kind = ProbeNameKind::Drive;
        prepared.name = name;
        return prepared;
    }
    while (!name.empty() && name.back() == '\\') name.pop_back();
    if (name.empty()) return prepared;
    prepared.kind = ProbeNameKind::File;
    prepared.name = name;
    return prepared;
}

// A name of the form \\server\share... (a network path).
inline bool IsNetworkName(const char* name) {
    return name[0] == '\\' && name[1] == '\\';
}

// Leading directory of `path`: up to and including its last '\' or '/'
// before the first '|'; a leading double quote is skipped. Empty when there
// is no separator or no path.
inline Text DirectoryPart(const char* path) {
    if (!path) return Text();
    if (*path == '"') ++path;
    size_t end = 0;
    for (size_t i = 0; path[i] && path[i] != '|'; ++i) {
        if (path[i] == '\\' || path[i] == '/') end = i + 1;
    }
    return Text(path, end);
}
