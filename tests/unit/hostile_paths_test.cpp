// The real path probes under a long stream of hostile inputs: no crash, only
// the documented results, and DirectoryOf keeping to its rules.
#include <gtest/gtest.h>

#include <string>

#include "hostile_paths.h"
#include "path_text_properties.h"
#include "paths/paths.h"
#include "temp_dir.h"

namespace {

TEST(HostilePaths, ProbesAndDirectoryOfSurviveAndKeepTheirRules) {
    // Files the wildcards and names can hit, in a current directory of our own.
    TempDir dir("hostile");
    dir.WriteFile("Tarvolin.exe", 4321);
    dir.WriteFile("a", 1);
    dir.MakeDir("Grafiken");
    dir.WriteFile("Grafiken\\Icon.ico", 0);
    dir.MakeDir("dir");
    CurrentDirectoryScope restore;
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));

    constexpr unsigned kInputs = 100000;
    HostileRandom random(20121);
    unsigned files = 0, directories = 0, missing = 0, broken = 0;
    for (unsigned index = 0; index < kInputs; ++index) {
        std::string input = HostilePath(random, index);
        int64_t size = ProbeFileSize(input.c_str());
        ProbeName prepared = PrepareProbeName(input.c_str());
        std::string rule = CheckProbeName(input, prepared);
        if (rule.empty()) rule = CheckDirectoryPart(input, DirectoryOf(input.c_str()));
        if (rule.empty() && size < kProbeDirectory) rule = "probe result below -2";
        if (rule.empty() && prepared.kind == ProbeNameKind::Missing && size != kProbeMissing)
            rule = "nothing to look up, yet not missing";
        if (rule.empty() && prepared.kind == ProbeNameKind::Drive && size >= 0) rule = "a drive name gave a size";
        if (!rule.empty() && ++broken <= 10) ADD_FAILURE() << "input " << index << " (" << input.size()
                                                          << " characters): " << rule;
        if (size >= 0) ++files;
        else if (size == kProbeDirectory) ++directories;
        else ++missing;
    }
    EXPECT_EQ(broken, 0u);
    // The stream must reach all three outcomes, or it tests too little.
    EXPECT_GT(files, 0u);
    EXPECT_GT(directories, 0u);
    EXPECT_GT(missing, 0u);
    std::printf("%u hostile inputs: %u files, %u directories, %u missing\n", kInputs, files, directories, missing);
}

}  // namespace
