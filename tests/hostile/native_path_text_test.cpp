// Native run of the path text work under AddressSanitizer and
// UndefinedBehaviorSanitizer: a table of known answers, then a long stream of
// hostile inputs checked against the rules every answer must follow.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "hostile_paths.h"
#include "path_text_properties.h"

namespace {

int failures = 0;

void Expect(bool ok, const std::string& what) {
    if (ok) return;
    ++failures;
    if (failures <= 20) std::printf("FAIL: %s\n", what.c_str());
}

void KnownAnswers() {
    struct DirectoryCase {
        const char* path;
        const char* expected;
    } directories[] = {
        {"C:\\Tools\\Tarvolin.exe", "C:\\Tools\\"}, {"Tarvolin.exe", ""}, {"", ""},
        {"\"C:\\Tools\\Tarvolin.exe\"", "C:\\Tools\\"}, {"C:\\a|b\\c", "C:\\"}, {"|C:\\a\\b", ""},
        {"C:/Tools/x.exe", "C:/Tools/"}, {"\\\\server\\share\\x", "\\\\server\\share\\"}, {"\"", ""},
        {"G\xF6\xDF" "e\\x.exe", "G\xF6\xDF" "e\\"},
    };
    for (const DirectoryCase& c : directories)
        Expect(DirectoryPart(c.path) == c.expected, std::string("DirectoryPart(") + c.path + ")");
    Expect(DirectoryPart(nullptr).empty(), "DirectoryPart(null)");

    struct NameCase {
        const char* path;
        ProbeNameKind kind;
        const char* name;
    } names[] = {
        {"", ProbeNameKind::Missing, ""},          {"\\\\\\", ProbeNameKind::Missing, ""},
        {"C:", ProbeNameKind::Drive, "C:\\"},      {"C:\\", ProbeNameKind::Drive, "C:\\"},
        {"C:x", ProbeNameKind::Drive, "C:x"},      {"C:\\\\", ProbeNameKind::File, "C:"},
        {"a\\\\", ProbeNameKind::File, "a"},       {"\\\\server\\share\\", ProbeNameKind::File, "\\\\server\\share"},
        {"CON", ProbeNameKind::File, "CON"},
    };
    for (const NameCase& c : names) {
        ProbeName prepared = PrepareProbeName(c.path);
        Expect(prepared.kind == c.kind && prepared.name == c.name, std::string("PrepareProbeName(") + c.path + ")");
    }
    Expect(PrepareProbeName(nullptr).kind == ProbeNameKind::Missing, "PrepareProbeName(null)");
    Expect(IsNetworkName("\\\\s\\x") && !IsNetworkName("\\x") && !IsNetworkName(""), "IsNetworkName");

    // A name exactly at the limit with no terminator within it: nothing past
    // the limit may be read (the sanitizer stops the run if it is).
    std::unique_ptr<char[]> unterminated(new char[kProbeNameLimit]);
    for (size_t i = 0; i < kProbeNameLimit; ++i) unterminated[i] = 'x';
    unterminated[kProbeNameLimit - 1] = '\\';
    ProbeName prepared = PrepareProbeName(unterminated.get());
    Expect(prepared.kind == ProbeNameKind::File && prepared.name.size() == kProbeNameLimit - 1,
           "unterminated name at the limit");
}

}  // namespace

int main(int argc, char** argv) {
    unsigned count = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 200000;
    KnownAnswers();
    HostileRandom random(20121);
    size_t longest = 0;
    for (unsigned index = 0; index < count; ++index) {
        std::string input = HostilePath(random, index);
        longest = input.size() > longest ? input.size() : longest;
        std::string broken = CheckDirectoryPart(input, DirectoryPart(input.c_str()));
        if (broken.empty()) broken = CheckProbeName(input, PrepareProbeName(input.c_str()));
        Expect(broken.empty(), "input " + std::to_string(index) + ": " + broken);
    }
    std::printf("%u hostile inputs (longest %zu characters), %d failure(s)\n", count, longest, failures);
    return failures == 0 ? 0 : 1;
}
