#pragma once
// What must hold for any input to the path text work; shared by the native
// sanitizer run and the run under Wine. Returns an empty string when all is
// well, else a description of the first broken rule.
#include <string>

#include "paths/path_text.h"

inline std::string AsString(const Text& text) {
    return std::string(text.c_str(), text.size());
}

inline std::string CheckDirectoryPart(const std::string& input, const Text& directoryText) {
    std::string directory = AsString(directoryText);
    std::string rest = (!input.empty() && input[0] == '"') ? input.substr(1) : input;
    if (rest.compare(0, directory.size(), directory) != 0) return "directory is not a prefix of the input";
    if (directory.find('|') != std::string::npos) return "directory reaches past a '|'";
    if (!directory.empty() && directory.back() != '\\' && directory.back() != '/')
        return "directory does not end with a separator";
    size_t bar = rest.find('|');
    std::string scanned = rest.substr(0, bar);
    if (directory.size() != scanned.find_last_of("\\/") + 1) return "not the last separator before '|'";
    return std::string();
}

inline std::string CheckProbeName(const std::string& input, const ProbeName& prepared) {
    std::string cut = input.substr(0, kProbeNameLimit);
    std::string name = AsString(prepared.name);
    switch (prepared.kind) {
    case ProbeNameKind::Missing:
        if (cut.find_first_not_of('\\') != std::string::npos) return "a real name was called missing";
        return std::string();
    case ProbeNameKind::Drive:
        if (!(cut.size() == 2 || cut.size() == 3) || cut[1] != ':') return "not a drive name";
        if (name != (cut.size() == 2 ? cut + "\\" : cut)) return "drive name changed";
        return std::string();
    case ProbeNameKind::File:
        if (name.empty() || name.back() == '\\') return "file name empty or ends with '\\'";
        if (name.size() > kProbeNameLimit) return "file name longer than the limit";
        if (cut.compare(0, name.size(), name) != 0) return "file name is not a prefix";
        if (cut.find_first_not_of('\\', name.size()) != std::string::npos)
            return "more than trailing backslashes removed";
        if ((cut.size() == 2 || cut.size() == 3) && cut[1] == ':') return "drive name looked up as a file";
        return std::string();
    }
    return "unknown kind";
}
