// The resources inside the built program file: icon group 1 and the manifest.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "harness.h"

namespace {

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroupHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExA(BuiltProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override { FreeLibrary(module_); }

    std::string Resource(LPCSTR name, LPCSTR type) {
        HRSRC found = FindResourceA(module_, name, type);
        if (!found) return std::string();
        const char* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
        return std::string(data, SizeofResource(module_, found));
    }
    HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, IconGroupOneHasBothSizesInBothColourDepths) {
    std::string group = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_GE(group.size(), sizeof(IconGroupHeader));
    const IconGroupHeader* header = reinterpret_cast<const IconGroupHeader*>(group.data());
    ASSERT_EQ(group.size(), sizeof(IconGroupHeader) + header->count * sizeof(IconGroupEntry));
    const IconGroupEntry* entries = reinterpret_cast<const IconGroupEntry*>(group.data() + sizeof(IconGroupHeader));
    std::set<std::tuple<int, int, int>> images;
    for (int i = 0; i < header->count; ++i) {
        images.insert(std::make_tuple(entries[i].width, entries[i].height, entries[i].bitCount));
        // Each image is really there.
        EXPECT_EQ(Resource(MAKEINTRESOURCEA(entries[i].id), MAKEINTRESOURCEA(3)).size(), entries[i].bytes);
    }
    EXPECT_EQ(images, (std::set<std::tuple<int, int, int>>{{32, 32, 32}, {16, 16, 32}, {32, 32, 8}, {16, 16, 8}}));
    EXPECT_NE(LoadIconA(module_, MAKEINTRESOURCEA(1)), nullptr);
}

TEST_F(ProgramResources, ManifestAsksForCommonControlsSixWithoutExecutionLevel) {
    std::string manifest = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("processorArchitecture=\"x86\" publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
    EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);
}

TEST(TrayImageFile, ShippedBesideTheProgramAndLoadable) {
    std::string program = BuiltProgramPath();
    std::string image = program.substr(0, program.find_last_of('\\') + 1) + "Grafiken\\Icon.ico";
    HANDLE icon = LoadImageA(nullptr, image.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(icon, nullptr) << image;
    DestroyIcon(static_cast<HICON>(icon));
}

}  // namespace
