// pictavo.exe's save: a whole BMP under the picture's name, or the old
// picture as it was, whichever way the system gives a file another's name.
#include "pictavo/picture_file.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

const int width = 100, height = 20;  // rows of 300 bytes: 6,000 bytes in all

class PictureFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::string("C:\\picture-file-test\\") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(folder_);
        CreateDirectoryA("C:\\picture-file-test", NULL);
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), NULL));
        picture_ = folder_ + "\\picture.bmp";
    }
    void TearDown() override { RemoveTree(folder_); }

    static std::vector<BYTE> Pixels(BYTE seed)
    {
        std::vector<BYTE> bits(PictureRowBytes(width) * height);
        for (size_t i = 0; i < bits.size(); ++i)
            bits[i] = (BYTE)(i * 7 + seed);
        return bits;
    }
    // The file a save of these pixels must leave.
    static std::string Bmp(const std::vector<BYTE>& bits)
    {
        BITMAPINFOHEADER info;
        FillPictureHeader(info, width, height);
        BITMAPFILEHEADER header = {};
        header.bfType = 0x4D42;
        header.bfOffBits = sizeof header + sizeof info;
        header.bfSize = header.bfOffBits + info.biSizeImage;
        return std::string((const char*)&header, sizeof header) + std::string((const char*)&info, sizeof info) +
               std::string(bits.begin(), bits.end());
    }
    DWORD Save(const std::vector<BYTE>& bits, const RenameWays& ways)
    {
        PictureBits picture = {width, height, bits.data()};
        return SavePicture(picture_.c_str(), picture, ways);
    }
    std::string Folder() { return folder_ + "\\"; }

    std::string folder_, picture_;
    const std::set<std::string> onlyThePicture = {"picture.bmp"};
    const std::string old = "the old picture, which no save may cut short";
};

// The three ways: ReplaceFile (Windows 2000 on), one MoveFileEx (NT 4),
// and the 9x family's rename aside and back.
struct Way {
    const char* name;
    RenameWays ways;
};
std::vector<Way> AllWays()
{
    RenameWays system = SystemRenameWays();
    return {{"ReplaceFile", system}, {"MoveFileEx", {NULL, system.moveFileEx}}, {"renames", {NULL, NULL}}};
}

} // namespace

TEST_F(PictureFile, ASaveWritesAWholeBmpUnderTheNameAndReplacesAnOldOneInEveryWayLeavingNothingBeside)
{
    ASSERT_TRUE(SystemRenameWays().replaceFile && SystemRenameWays().moveFileEx) << "this system has both";
    std::vector<BYTE> first = Pixels(1);
    ASSERT_EQ((DWORD)ERROR_SUCCESS, Save(first, SystemRenameWays()));
    EXPECT_TRUE(ReadAll(picture_) == Bmp(first)) << "a new name";
    EXPECT_EQ(onlyThePicture, NamesIn(folder_));
    BYTE seed = 2;
    for (const Way& way : AllWays()) {
        std::vector<BYTE> next = Pixels(seed++);
        ASSERT_EQ((DWORD)ERROR_SUCCESS, Save(next, way.ways)) << way.name;
        EXPECT_TRUE(ReadAll(picture_) == Bmp(next)) << way.name << ": the new picture over the old";
        EXPECT_EQ(onlyThePicture, NamesIn(folder_)) << way.name;
    }
}

// The pixels end in memory that cannot be read: the write fails part of
// the way through the picture, after the headers and the first rows.
TEST_F(PictureFile, AWriteThatFailsHalfWayLeavesTheOldPictureWholeAndNoPartOfTheNew)
{
    ASSERT_TRUE(WriteAll(picture_, old));
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    size_t bytes = PictureRowBytes(width) * height;
    ASSERT_LT(system.dwPageSize, bytes);
    BYTE* memory = (BYTE*)VirtualAlloc(NULL, 2 * system.dwPageSize, MEM_COMMIT, PAGE_READWRITE);
    ASSERT_TRUE(memory != NULL);
    DWORD was;
    ASSERT_TRUE(VirtualProtect(memory + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &was));
    PictureBits picture = {width, height, memory + 2 * system.dwPageSize - bytes + 1000};
    for (const Way& way : AllWays()) {
        EXPECT_NE((DWORD)ERROR_SUCCESS, SavePicture(picture_.c_str(), picture, way.ways)) << way.name;
        EXPECT_EQ(old, ReadAll(picture_)) << way.name;
        EXPECT_EQ(onlyThePicture, NamesIn(folder_)) << way.name;
    }
    VirtualFree(memory, 0, MEM_RELEASE);
}

// Another program holds the old picture open and lets nobody write or
// delete it: the save fails, and says so, rather than leave a half.
TEST_F(PictureFile, APictureHeldOpenByAnotherProgramKeepsItsBytesAndNoScratchFileStays)
{
    ASSERT_TRUE(WriteAll(picture_, old));
    HANDLE held = CreateFileA(picture_.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    for (const Way& way : AllWays()) {
        EXPECT_NE((DWORD)ERROR_SUCCESS, Save(Pixels(3), way.ways)) << way.name;
        EXPECT_EQ(onlyThePicture, NamesIn(folder_)) << way.name;
    }
    CloseHandle(held);
    EXPECT_EQ(old, ReadAll(picture_));
}

// The new file cannot take the name (here it is gone): the old picture,
// moved aside by the renames of the 9x family, comes back.
TEST_F(PictureFile, WhenTheNewPictureCannotTakeTheNameTheOldOneKeepsItInEveryWay)
{
    ASSERT_TRUE(WriteAll(picture_, old));
    std::string missing = folder_ + "\\~pvgone.tmp";
    for (const Way& way : AllWays()) {
        EXPECT_NE((DWORD)ERROR_SUCCESS, PutInPlace(Folder().c_str(), missing.c_str(), picture_.c_str(), way.ways))
            << way.name;
        EXPECT_EQ(old, ReadAll(picture_)) << way.name;
        EXPECT_EQ(onlyThePicture, NamesIn(folder_)) << way.name;
    }
}
