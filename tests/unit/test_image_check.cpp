// The start-up check's digest over the sealed installer as the system's
// loader maps it, away from its preferred base.
#include "base/image_digest.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

TEST(ImageCheck, TheSealedInstallerMatchesItsSealWhereverTheLoaderPlacesIt)
{
    std::string file = ReadAll(WindowsPath(EnvOr("PICTAVO_SETUP_EXE", "")));
    PeLayout layout;
    ASSERT_TRUE(ReadPeLayout((const unsigned char*)file.data(), file.size(), &layout));
    ASSERT_NE(0u, layout.relocSize) << "an image without relocations cannot be placed elsewhere";
    // Wine places a program loaded as a library elsewhere when this test
    // program holds its preferred base, but applies its relocations only
    // when it is marked as a library: a copy is, in its file header, which
    // the digest does not cover.
    size_t characteristics = layout.checkSumAt - 64 - 2;
    file[characteristics + 1] |= IMAGE_FILE_DLL >> 8;
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "pvs", 0, path);
    FILE* out = fopen(path, "wb");
    ASSERT_TRUE(out != NULL);
    fwrite(file.data(), 1, file.size(), out);
    fclose(out);

    HMODULE module = LoadLibraryExA(path, NULL, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_TRUE(module != NULL) << path;
    const unsigned char* image = (const unsigned char*)module;
    uint32_t seal = 0, digest = 0, relocated = 0;
    for (uint32_t index = 0; index < layout.sectionCount; ++index) {
        PeSection section = ReadPeSection(image, layout, index);
        if (IsSealSection(section))
            memcpy(&seal, image + section.rva, sizeof seal);
        // How many bytes of the code differ from the file: the relocated
        // addresses.
        if (memcmp(section.name, ".text", 6) == 0)
            for (uint32_t at = 0; at < section.virtualSize && at < section.rawSize; ++at)
                relocated += image[section.rva + at] != (unsigned char)file[section.rawOffset + at];
    }
    EXPECT_NE(0u, relocated) << "the loader left the code as it was";
    EXPECT_NE(0u, seal) << "no seal";
    EXPECT_TRUE(DigestMappedImage(image, layout.imageSize, &digest));
    EXPECT_EQ(seal, digest);
    FreeLibrary(module);
    DeleteFileA(path);
}
