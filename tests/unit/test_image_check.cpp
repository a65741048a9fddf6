// The start-up check's digest over an image that the system's loader
// placed itself, away from its preferred base.
#include "base/image_digest.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

TEST(ImageCheck, TheShippedInstallerMatchesItsSealWhereverTheLoaderPlacesIt)
{
    std::string path = WindowsPath(EnvOr("PICTAVO_SETUP_EXE", ""));
    std::string file = ReadAll(path);
    PeLayout layout;
    ASSERT_TRUE(ReadPeLayout((const unsigned char*)file.data(), file.size(), &layout)) << path;
    ASSERT_NE(0u, layout.relocSize) << "an image without relocations cannot be placed elsewhere";
    // The preferred base of the file, which this test program's own image
    // already holds: the loader has to place the installer elsewhere.
    uint64_t preferred = 0;
    size_t baseAt = layout.checkSumAt - 64 + (sizeof(void*) == 8 ? 24 : 28);
    memcpy(&preferred, &file[baseAt], sizeof(void*));
    HMODULE module = LoadLibraryExA(path.c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_TRUE(module != NULL) << path;
    const unsigned char* image = (const unsigned char*)module;
    EXPECT_NE(preferred, (uint64_t)(uintptr_t)module) << "the loader used the preferred base after all";

    uint32_t seal = 0, digest = 0;
    bool sealed = false;
    for (uint32_t index = 0; index < layout.sectionCount; ++index) {
        PeSection section = ReadPeSection(image, layout, index);
        if (IsSealSection(section)) {
            memcpy(&seal, image + section.rva, sizeof seal);
            sealed = true;
        }
    }
    EXPECT_TRUE(sealed) << "no seal section";
    EXPECT_TRUE(DigestMappedImage(image, layout.imageSize, &digest));
    EXPECT_EQ(seal, digest);
    FreeLibrary(module);
}
