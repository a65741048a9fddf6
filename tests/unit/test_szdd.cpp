// The project's SZDD encoder against the platform's LZ service: every
// sample must come back byte for byte, with the length the header states.
#include <windows.h>
#include <lzexpand.h>
#include "test_files.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string SamplePath(const char* name)
{
    return WindowsPath(EnvOr("PICTAVO_SZDD_SAMPLES", "") + "/" + name);
}

} // namespace

TEST(SzddEncoder, SamplesExpandByteForByteWithTheLzService)
{
    const int sizes[] = {0, 1, 15, 16, 17, 4096, 4113, 3145735};
    for (int size : sizes) {
        SCOPED_TRACE(size);
        std::string name = "sample-" + std::to_string(size);
        std::string original = ReadAll(SamplePath((name + ".bin").c_str()));
        ASSERT_EQ((size_t)size, original.size());
        std::string compressed = SamplePath((name + ".szdd").c_str());
        std::string header = ReadAll(compressed).substr(0, 14);
        ASSERT_EQ(14u, header.size());
        EXPECT_EQ(std::string("SZDD\x88\xF0\x27\x33" "A", 9), header.substr(0, 9));
        DWORD stated = (BYTE)header[10] | (BYTE)header[11] << 8 | (BYTE)header[12] << 16 | (DWORD)(BYTE)header[13] << 24;
        EXPECT_EQ((DWORD)size, stated);

        char temp[MAX_PATH], expanded[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        GetTempFileNameA(temp, "szd", 0, expanded);
        OFSTRUCT sourceInfo, targetInfo;
        INT source = LZOpenFileA((LPSTR)compressed.c_str(), &sourceInfo, OF_READ);
        INT target = LZOpenFileA(expanded, &targetInfo, OF_CREATE | OF_WRITE);
        ASSERT_GE(source, 0);
        ASSERT_GE(target, 0);
        EXPECT_EQ(size, LZCopy(source, target));
        LZClose(source);
        LZClose(target);
        EXPECT_TRUE(original == ReadAll(expanded)) << "expanded bytes differ";
        DeleteFileA(expanded);
    }
}
